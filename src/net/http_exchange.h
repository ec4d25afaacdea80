#pragma once

#include "net/servers.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringDecoder>

#include <chrono>
#include <functional>

class QTcpSocket;
class QTimer;

namespace zorvane {

// When a reply is complete: the caller names a marker and where to look for
// it, or gives its own test. A server's status line and Content-Length are
// never consulted.
class CompletionMarker
{
public:
    // The marker's bytes anywhere in the received bytes.
    static CompletionMarker inBytes(const QByteArray &marker);
    // The marker anywhere in the received text (GBK-decoded), case-sensitive.
    static CompletionMarker inText(const QString &marker);
    // The marker, lower-cased, anywhere in the lower-cased received text.
    static CompletionMarker inLowercaseText(const QString &marker);
    // "</html>" in the received text: where most pages end.
    static CompletionMarker endOfPage();
    // Any test of its own on everything received so far (`text` is empty
    // unless the exchange receives text). Text markers work in either mode.
    static CompletionMarker when(std::function<bool(const QByteArray &bytes, const QString &text)> complete);

private:
    friend class HttpExchange;
    enum class Where { Bytes, Text, LowercaseText, Test };
    Where m_where = Where::Bytes;
    QByteArray m_bytes;
    QString m_text;
    std::function<bool(const QByteArray &, const QString &)> m_test;
};

// Everything received once the marker arrived.
struct HttpReply
{
    QByteArray bytes; // as received
    QString text;     // GBK-decoded; only when the exchange receives text
};

// One request on one new TCP connection: connect, send the request text as
// GBK bytes, gather every chunk, stop as soon as the completion marker is
// there. A time-out, a peer that hangs up before the marker, a refused or
// broken connection and an oversized reply all end on the failure path with
// the message the caller chose. Never blocks; both outcomes arrive as signals.
class HttpExchange : public QObject
{
    Q_OBJECT

public:
    enum class Receive { Text, Bytes };
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
    bool isComplete(qsizetype previousBytes, qsizetype previousText, qsizetype previousLowercase) const;
    void finish();
    void fail(Failure reason);
    void release();

    Request m_request;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_deadline;
    HttpReply m_reply;
    QString m_lowercase;      // the lower-cased text, kept only for that marker
    QStringDecoder m_decoder; // keeps a character split between two chunks whole
};

} // namespace zorvane
