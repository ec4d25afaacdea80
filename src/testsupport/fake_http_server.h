#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <chrono>

class QTcpServer;
class QTcpSocket;

namespace zorvane {

struct ConfigKey;

// One request as the fake server received it.
struct FakeRequest
{
    QByteArray raw;    // request line, headers and body exactly as received
    QByteArray method; // "GET", "POST", …
    QString path;      // the request target, e.g. "/index.php?m=show&action=ad"
    QByteArray body;   // the Content-Length bytes after the headers

    // The value of the first header of that name (case-insensitive), trimmed.
    QByteArray header(const QByteArray &name) const;
};

// What the fake server does with requests for one path. Built fluently:
//   server.on("/a").chunks({"HTTP/1.1 200 OK\r\n\r\n<ht", "ml></html>"}).delay(50ms);
class FakeRoute
{
public:
    // The reply as raw bytes, sent in one piece.
    FakeRoute &reply(const QByteArray &bytes);
    // A complete HTTP/1.1 response with status line, Content-Type and
    // Content-Length around the body.
    FakeRoute &respond(int status, const QByteArray &body, const QByteArray &contentType = "text/html");
    // The reply as raw bytes, sent piece by piece (each a separate write).
    FakeRoute &chunks(const QList<QByteArray> &pieces);
    // The pause before every piece, the first one included.
    FakeRoute &delay(std::chrono::milliseconds pause);
    // Close the connection right after the last piece, as a peer that hangs
    // up before the client saw what it waits for.
    FakeRoute &closeEarly();
    // Accept the request and never answer (the connection stays open).
    FakeRoute &silent();

private:
    friend class FakeHttpServer;
    QList<QByteArray> m_pieces;
    std::chrono::milliseconds m_delay{0};
    bool m_closeAfter = false;
    bool m_silent = false;
};

// An HTTP server on 127.0.0.1 for tests, scripted per request path. Each
// request is answered by the route of its exact path, else by the fallback
// (a 404 unless scripted otherwise). Every request is recorded.
class FakeHttpServer : public QObject
{
    Q_OBJECT

public:
    // Listens on an ephemeral port of 127.0.0.1 at once.
    explicit FakeHttpServer(QObject *parent = nullptr);
    ~FakeHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    // "127.0.0.1:PORT", as section "Servers" of the settings file takes it.
    QString address() const;

    FakeRoute &on(const QString &path);
    FakeRoute &otherwise();

    const QList<FakeRequest> &requests() const { return m_requests; }
    // Connections accepted so far.
    int connectionCount() const { return m_connectionCount; }
    QList<FakeRequest> requestsFor(const QString &path) const;
    // Waits, processing events, until `count` requests arrived in all; false
    // when they did not within the time given.
    bool waitForRequests(int count, std::chrono::milliseconds within = std::chrono::seconds(5));

    // Points key `key` of section "Servers" of the current application folder
    // at this server.
    bool serve(const ConfigKey &key) const;

    // A port of 127.0.0.1 on which nothing listens: connecting is refused.
    static quint16 closedPort();
    // Text as raw bytes of a reply.
    static QByteArray gbk(const QString &text);
    static QByteArray utf8(const QString &text);
    // "HTTP/1.1 <status> <reason>\r\n" with Content-Type, Content-Length, and
    // the body.
    static QByteArray httpResponse(int status, const QByteArray &body, const QByteArray &contentType = "text/html");

Q_SIGNALS:
    void requestReceived(const FakeRequest &request);

private:
    struct Connection
    {
        QByteArray received;
        QList<QByteArray> pending; // pieces of the reply not sent yet
        std::chrono::milliseconds delay{0};
        bool closeAfter = false;
        bool answering = false; // a reply is under way or the route is silent
    };
    void acceptConnections();
    void readFrom(QTcpSocket *socket);
    void sendNext(QTcpSocket *socket);

    QTcpServer *m_server;
    QMap<QString, FakeRoute> m_routes;
    FakeRoute m_fallback;
    QList<FakeRequest> m_requests;
    QHash<QTcpSocket *, Connection> m_connections;
    int m_connectionCount = 0;
};

} // namespace zorvane
