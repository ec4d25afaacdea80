#pragma once

#include <QByteArray>
#include <QHash>
#include <QProcess>
#include <QString>

namespace zorvane {

// A reply read off the wire as it came, for tests that ask the service server
// over raw sockets so that no client library tidies the paths.
struct RawReply
{
    int status = 0;                        // 0: no complete header arrived
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

// One request on its own connection to 127.0.0.1, read until the server
// closes it (ten seconds at most).
RawReply rawExchange(quint16 port, const QByteArray &request);
// A GET with the headers the programs' own fetches send, compression included.
RawReply rawGet(quint16 port, const QByteArray &target);

// scripts/serve-content (the real nginx with the shipped configuration) on a
// folder, for the life of this object, on a free port of 127.0.0.1. Should
// the test process die outright, the script is told by the kernel and takes
// its nginx down with it.
class ServedContent
{
public:
    ServedContent() = default;
    ~ServedContent() { stop(); }
    ServedContent(const ServedContent &) = delete;
    ServedContent &operator=(const ServedContent &) = delete;

    bool start(const QString &folder);
    void stop();

    quint16 port() const { return m_port; }
    QString accessLog() const { return m_accessLog; }
    QByteArray output() const { return m_output; } // what the script printed, for a failure message

    // Copies a folder tree, hidden files included; false on the first failure.
    static bool copyFolder(const QString &from, const QString &to);
    // Started by root, nginx's workers run as nobody: the folders a
    // QTemporaryDir makes (owner only) and everything below `root` must be
    // opened up for them. Symbolic links are left as they are.
    static void openToWorkers(const QString &root);

private:
    bool startOn(const QString &folder, quint16 port);

    QProcess m_process;
    QByteArray m_output;
    QString m_accessLog;
    quint16 m_port = 0;
    bool m_ready = false;
};

} // namespace zorvane
