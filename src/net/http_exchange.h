#pragma once

#include "net/reply_buffer.h"
#include "net/servers.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QTcpSocket;
class QTimer;

namespace zorvane {

// One request on one new TCP connection: connect, send the request text as
// GBK bytes, gather every chunk, stop as soon as the completion marker is
// there. A time-out, a peer that hangs up before the marker, a refused or
// broken connection and a reply over its bound (received, or announced by its
// Content-Length) all end on the failure path with the message the caller
// chose. The status line is read, not judged: the caller decides what a
// status means. Never blocks; both outcomes arrive as signals.
class HttpExchange : public QObject
{
    Q_OBJECT

public:
    // What the reply carries: its text, its bytes, or nothing but its status
    // (the completion test then sees every chunk as it comes).
    enum class Receive { Text, Bytes, Stream };
    Q_ENUM(Receive)
    enum class Failure { Network, TimedOut, ClosedEarly, TooLarge };
    Q_ENUM(Failure)

    static constexpr qsizetype defaultMaxReplySize = 32 * 1024 * 1024;

    struct Request
    {
        ServerAddress server; // where to connect
        QString text;         // the whole request text (see http_request.h)
        CompletionMarker completion = CompletionMarker::endOfPage();
        Receive receive = Receive::Text;
        QString failureMessage; // what `failed` carries, in the caller's words
        // Zero: the setting at the moment the exchange starts (serverTimeout()).
        std::chrono::milliseconds timeout{0};
        qsizetype maxReplySize = defaultMaxReplySize;
    };

    explicit HttpExchange(QObject *parent = nullptr);
    ~HttpExchange() override;

    // Starts the request on a new connection. A running exchange is dropped
    // first without any signal.
    void start(const Request &request);
    // Drops the running exchange, if any, without any signal.
    void abort();
    bool isRunning() const { return m_socket != nullptr; }

Q_SIGNALS:
    void finished(const HttpReply &reply);
    void failed(const QString &message, HttpExchange::Failure reason);

private:
    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onDisconnected();
    bool takeAvailable(); // false when the exchange ended
    void finish();
    void fail(Failure reason);
    void release();

    Request m_request;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_deadline;
    std::unique_ptr<ReplyBuffer> m_buffer;
};

} // namespace zorvane
