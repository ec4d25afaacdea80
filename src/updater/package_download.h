#pragma once

#include "net/servers.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <chrono>

class QIODevice;
class QTcpSocket;
class QTimer;

namespace zorvane {

// One GET of a file on a new TCP connection, written to a sink as it arrives,
// so that a package of any size needs no more memory than a chunk. The
// request is the programs' own GET text (net/http_request.h) with an empty
// cookie string and referrer.
//
// Unlike the marker-driven exchanges, a download trusts the response header:
// it is read once complete, however the chunks fall; only a 200 with a
// Content-Length is taken, and exactly Content-Length body bytes are written,
// never more. Anything else ends on `failed`, and nothing after the refusal
// reaches the sink.
//
// Time-out: connecting and the whole header must come within the limit;
// after that the limit runs again from every chunk, so a stalled transfer
// ends while a large one on a slow line may take as long as it keeps moving.
// Besides, the whole download must end within the limit plus the time the
// announced length takes at slowestRate: a server sending a byte now and then
// cannot hold it open for days.
class PackageDownload : public QObject
{
    Q_OBJECT

public:
    enum class Failure {
        Network,         // refused, unreachable, broken
        TimedOut,        // nothing arrived within the limit
        TooSlow,         // still running when the whole download's time was up
        ClosedEarly,     // the server hung up before the announced length
        HttpStatus,      // a status other than 200
        NoContentLength, // missing or unreadable Content-Length, or a transfer coding
        BadHeader,       // no status line, or a header that never ends
        TooLarge,        // an announced length above the caller's limit
        WriteFailed,     // the sink took fewer bytes than given
    };
    Q_ENUM(Failure)

    // Above this the progress arithmetic could overflow; no package is that big.
    static constexpr qint64 largestBody = qint64(1) << 40;
    // Bytes per second; the slowest line a download is given time for.
    static constexpr qint64 slowestRate = 20 * 1024;

    struct Request
    {
        ServerAddress server;
        QString path; // request target, "/…"
        // Zero: the setting at the moment the download starts (serverTimeout()).
        std::chrono::milliseconds timeout{0};
        qint64 maxBodySize = largestBody;
    };

    explicit PackageDownload(QObject *parent = nullptr);
    ~PackageDownload() override;

    // Starts on a new connection, writing the body to `sink` (open for
    // writing; not owned, and it must outlive the download). A running
    // download is dropped first without any signal.
    void start(const Request &request, QIODevice *sink);
    // Drops the running download, if any, without any signal.
    void abort();
    bool isRunning() const { return m_socket != nullptr; }

    // The response's status line as received (printable ASCII only), once
    // the header is in; for telling the user what the server said.
    QString statusLine() const { return m_statusLine; }
    // The announced length once the header is in (also when it was too large).
    qint64 contentLength() const { return m_contentLength; }

Q_SIGNALS:
    // After the header and after every chunk written: the index of the last
    // body byte written so far (−1 before the first) and the announced length.
    void progressed(qint64 lastIndex, qint64 contentLength);
    // Exactly contentLength bytes went to the sink; the connection is closed.
    void finished();
    void failed(PackageDownload::Failure reason);

private:
    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onDisconnected();
    bool takeAvailable(); // false once the download ended
    bool takeHeader(QByteArrayView chunk, QByteArrayView &body);
    bool takeBody(QByteArrayView bytes);
    void fail(Failure reason);
    void release();

    Request m_request;
    QIODevice *m_sink = nullptr;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_deadline; // the stall bound
    QTimer *m_total;    // the whole download's bound, set once the length is known
    QElapsedTimer m_clock;
    QByteArray m_header; // until the empty line that ends it
    bool m_headerDone = false;
    QString m_statusLine;
    qint64 m_contentLength = -1;
    qint64 m_written = 0;
};

} // namespace zorvane
