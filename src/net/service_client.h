#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace zorvane {

// Asks the maker's service server (key "Service" of section "Servers") for a
// path, asynchronously. Every failure — host unreachable, connection refused,
// a status outside 2xx, the time-out — reads as the empty reply.
class ServiceClient : public QObject
{
    Q_OBJECT

public:
    explicit ServiceClient(QObject *parent = nullptr);
    ~ServiceClient() override;

    // Until changed, every fetch takes its limit from the settings at the
    // moment it starts (serverTimeout(): 30 s unless the settings say more).
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const;

    // Asks the service server for path ("index.php?m=show&action=ad"); done
    // gets the reply as GBK-decoded text, or "" on any failure. Never blocks;
    // done runs on context's thread and not at all if context died (or if
    // this client is destroyed before the reply came).
    void fetchText(const QString &path, QObject *context, std::function<void(const QString &reply)> done);
    void fetchBytes(const QString &path, QObject *context, std::function<void(const QByteArray &reply)> done);

private:
    QNetworkAccessManager *m_network;
    std::chrono::milliseconds m_timeout{0}; // 0: the setting
};

// The request paths the service server answers.
namespace ServicePath {
QString advertisement();
QString formatDefault();
QString ycDefault();
QString updateList(const QString &stamp);
QString notice();
QString errorWordsVersion();
QString errorWords();
QString sameWordsVersion();
QString sameWords();
QString logout();
} // namespace ServicePath

} // namespace zorvane
