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
// a status outside 2xx, a redirect to another host, a reply over its bound,
// the time-out — reads as the empty reply.
class ServiceClient : public QObject
{
    Q_OBJECT

public:
    // The service's texts (advertisement, notices, default texts, versions,
    // the update list) are short; a word library is the one long reply.
    static constexpr qint64 TextBound = 1024 * 1024;
    static constexpr qint64 LibraryBound = 16 * 1024 * 1024;

    explicit ServiceClient(QObject *parent = nullptr);
    ~ServiceClient() override;

    // Until changed, every fetch takes its limit from the settings at the
    // moment it starts (serverTimeout(): 30 s unless the settings say more).
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const;

    // Asks the service server for path ("index.php?m=show&action=ad"); done
    // gets the reply as GBK-decoded text, or "" on any failure, a reply over
    // TextBound included. Never blocks; done runs on context's thread and not
    // at all if context died (or if this client is destroyed before the reply
    // came).
    void fetchText(const QString &path, QObject *context, std::function<void(const QString &reply)> done);
    // The reply's bytes as they came, up to `bound` bytes.
    void fetchBytes(const QString &path, QObject *context, std::function<void(const QByteArray &reply)> done,
                    qint64 bound = TextBound);

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
