#include "testsupport/fake_http_server.h"

#include "settings/config_keys.h"
#include "text/gbk.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zorvane {

QByteArray FakeRequest::header(const QByteArray &name) const
{
    const qsizetype headersEnd = raw.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = raw.left(headersEnd < 0 ? raw.size() : headersEnd).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0 && lines[i].left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return lines[i].mid(colon + 1).trimmed();
    }
    return {};
}

FakeRoute &FakeRoute::reply(const QByteArray &bytes)
{
    m_pieces = {bytes};
    return *this;
}

FakeRoute &FakeRoute::respond(int status, const QByteArray &body, const QByteArray &contentType)
{
    return reply(FakeHttpServer::httpResponse(status, body, contentType));
}

FakeRoute &FakeRoute::chunks(const QList<QByteArray> &pieces)
{
    m_pieces = pieces;
    return *this;
}

FakeRoute &FakeRoute::delay(std::chrono::milliseconds pause)
{
    m_delay = pause;
    return *this;
}

FakeRoute &FakeRoute::closeEarly()
{
    m_closeAfter = true;
    return *this;
}

FakeRoute &FakeRoute::silent()
{
    m_silent = true;
    return *this;
}

FakeHttpServer::FakeHttpServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_fallback.respond(404, "<html><body>Not Found</body></html>");
    connect(m_server, &QTcpServer::newConnection, this, &FakeHttpServer::acceptConnections);
    m_server->listen(QHostAddress::LocalHost, 0);
}

FakeHttpServer::~FakeHttpServer()
{
    for (auto it = m_connections.keyBegin(); it != m_connections.keyEnd(); ++it)
        (*it)->disconnect(this);
}

bool FakeHttpServer::isListening() const
{
    return m_server->isListening();
}

quint16 FakeHttpServer::port() const
{
    return m_server->serverPort();
}

QString FakeHttpServer::address() const
{
    return u"127.0.0.1:"_s + QString::number(port());
}

FakeRoute &FakeHttpServer::on(const QString &path)
{
    return m_routes[path];
}

FakeRoute &FakeHttpServer::otherwise()
{
    return m_fallback;
}

QList<FakeRequest> FakeHttpServer::requestsFor(const QString &path) const
{
    QList<FakeRequest> matching;
    for (const FakeRequest &request : m_requests) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

bool FakeHttpServer::waitForRequests(int count, std::chrono::milliseconds within)
{
    QDeadlineTimer deadline(within);
    while (m_requests.size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return m_requests.size() >= count;
}

bool FakeHttpServer::serve(const ConfigKey &key) const
{
    return setConfigText(key, address());
}

quint16 FakeHttpServer::closedPort()
{
    // A port just released by a listener: nothing else on the loopback
    // interface takes it within the moments a test needs.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 1;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray FakeHttpServer::gbk(const QString &text)
{
    return toGbk(text);
}

QByteArray FakeHttpServer::utf8(const QString &text)
{
    return text.toUtf8();
}

QByteArray FakeHttpServer::httpResponse(int status, const QByteArray &body, const QByteArray &contentType)
{
    QByteArray reason = "OK";
    if (status == 404)
        reason = "Not Found";
    else if (status >= 500)
        reason = "Internal Server Error";
    else if (status >= 300)
        reason = "Status";
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + contentType
           + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

void FakeHttpServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_connections.insert(socket, Connection{});
        ++m_connectionCount;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeHttpServer::readFrom(QTcpSocket *socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found;
    connection.received += socket->readAll();
    if (connection.answering)
        return;

    const qsizetype headersEnd = connection.received.indexOf("\r\n\r\n");
    if (headersEnd < 0)
        return;
    FakeRequest request;
    request.raw = connection.received.left(headersEnd + 4);
    const qsizetype bodyLength = qMax(0, request.header("Content-Length").toInt());
    if (connection.received.size() < headersEnd + 4 + bodyLength)
        return;
    request.body = connection.received.mid(headersEnd + 4, bodyLength);
    request.raw += request.body;
    connection.received.remove(0, request.raw.size());

    // "GET /path  HTTP/1.1": the target is the second word whatever the
    // number of blanks around it.
    const QByteArray requestLine = request.raw.left(request.raw.indexOf("\r\n"));
    const QList<QByteArray> words = requestLine.simplified().split(' ');
    request.method = words.value(0);
    request.path = QString::fromLatin1(words.value(1));
    m_requests.append(request);

    const auto route = m_routes.constFind(request.path);
    const FakeRoute &answer = route != m_routes.constEnd() ? *route : m_fallback;
    connection.answering = true;
    connection.pending = answer.m_silent ? QList<QByteArray>() : answer.m_pieces;
    connection.delay = answer.m_delay;
    connection.closeAfter = answer.m_closeAfter;
    Q_EMIT requestReceived(request);
    if (!answer.m_silent)
        QTimer::singleShot(connection.delay, socket, [this, socket] { sendNext(socket); });
}

void FakeHttpServer::sendNext(QTcpSocket *socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found;
    if (!connection.pending.isEmpty()) {
        socket->write(connection.pending.takeFirst());
        socket->flush();
    }
    if (!connection.pending.isEmpty()) {
        QTimer::singleShot(connection.delay, socket, [this, socket] { sendNext(socket); });
        return;
    }
    if (connection.closeAfter) {
        socket->disconnectFromHost();
        return;
    }
    // Keep-alive: the next request on the same connection gets its turn.
    connection.answering = false;
    if (!connection.received.isEmpty())
        readFrom(socket);
}

} // namespace zorvane
