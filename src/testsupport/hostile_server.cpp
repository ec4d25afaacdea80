#include "testsupport/hostile_server.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The client's socket is filled no further than this; the rest goes when it
// has read what is there.
constexpr qint64 WriteAhead = 256 * 1024;
constexpr qsizetype Slice = 64 * 1024;

QByteArray hugeHeader()
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
           + QByteArray::number(HostileServer::HugeReplySize) + "\r\n\r\n";
}

// Markup that keeps every reader busy and ends nothing: upper-case tags for
// the lower-casing, cells and spans for the hit collectors, a "uid-" without
// its "html", cookie headers in the body, nested "<".
QByteArray hugeBodySlice()
{
    const QByteArray pattern = "<TD CLASS=\"TEXT\"><SPAN>uid-12 <<A HREF=x>Set-Cookie: a=1;\r\n<!-- <STYLE>";
    QByteArray slice;
    while (slice.size() < Slice)
        slice += pattern;
    return slice.left(Slice);
}

QByteArray cookieHeader()
{
    QByteArray header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    header.reserve(HostileServer::CookieLines * 40);
    for (int i = 0; i < HostileServer::CookieLines; ++i)
        header += "Set-Cookie: c" + QByteArray::number(i) + "=v; path=/; HttpOnly\r\n";
    return header + "\r\n";
}

QByteArray portalReply()
{
    const QByteArray page = "<html><head><title>Wi-Fi</title><meta http-equiv=\"refresh\" "
                            "content=\"0;url=http://10.255.255.1/login\"></head><body><form action=\"/login\" "
                            "method=\"post\"><input name=\"user\"><input name=\"pass\" type=\"password\">"
                            "</form></body></html>";
    return "HTTP/1.1 302 Found\r\nLocation: http://10.255.255.1/login?orig=http%3A%2F%2Fexample.com%2F\r\n"
           "Content-Type: text/html\r\nContent-Length: "
           + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
}

constexpr char DripText[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>";

} // namespace

// The server's side, living on its thread.
class HostileConnections : public QObject
{
public:
    HostileConnections(HostileServer::Behaviour behaviour, std::atomic<int> &requests)
        : m_behaviour(behaviour)
        , m_requests(requests)
    {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection())
                accept(socket);
        });
        if (m_behaviour == HostileServer::Behaviour::HugeReply) {
            m_head = hugeHeader();
            m_slice = hugeBodySlice();
        } else if (m_behaviour == HostileServer::Behaviour::ManyCookies) {
            m_head = cookieHeader();
        } else if (m_behaviour == HostileServer::Behaviour::CaptivePortal) {
            m_head = portalReply();
        }
        return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0;
    }

private:
    struct Connection
    {
        QByteArray request;
        bool answering = false;
        qint64 sent = 0; // of the head, then of the body
        bool inBody = false;
    };

    void accept(QTcpSocket *socket)
    {
        socket->setParent(this);
        m_connections.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }

    void readFrom(QTcpSocket *socket)
    {
        auto found = m_connections.find(socket);
        if (found == m_connections.end())
            return;
        found->request += socket->readAll();
        // Each request is answered once its header is in; the answer never
        // ends well, so a connection carries one request.
        if (found->answering || !found->request.contains("\r\n\r\n"))
            return;
        found->answering = true;
        found->request.clear();
        ++m_requests;
        if (m_behaviour == HostileServer::Behaviour::Drip) {
            auto *drip = new QTimer(socket);
            connect(drip, &QTimer::timeout, socket, [socket, drip, at = qsizetype(0)]() mutable {
                socket->write(DripText + at % (sizeof(DripText) - 1), 1);
                ++at;
                drip->setInterval(1000);
            });
            drip->start(0);
            return;
        }
        sendMore(socket);
    }

    void sendMore(QTcpSocket *socket)
    {
        auto found = m_connections.find(socket);
        if (found == m_connections.end() || !found->answering || m_behaviour == HostileServer::Behaviour::Drip)
            return;
        Connection &connection = *found;
        while (socket->bytesToWrite() < WriteAhead) {
            if (!connection.inBody) {
                if (connection.sent < m_head.size()) {
                    const QByteArray part = m_head.mid(connection.sent, Slice);
                    socket->write(part);
                    connection.sent += part.size();
                    continue;
                }
                connection.inBody = true;
                connection.sent = 0;
            }
            if (m_behaviour == HostileServer::Behaviour::ManyCookies)
                return; // and holds the line
            if (m_behaviour != HostileServer::Behaviour::HugeReply || connection.sent >= HostileServer::HugeReplySize) {
                // All of it is out: the server hangs up once it has gone.
                if (socket->bytesToWrite() == 0)
                    socket->disconnectFromHost();
                return;
            }
            const qint64 left = HostileServer::HugeReplySize - connection.sent;
            socket->write(m_slice.constData(), qMin<qint64>(left, m_slice.size()));
            connection.sent += qMin<qint64>(left, m_slice.size());
        }
    }

    HostileServer::Behaviour m_behaviour;
    std::atomic<int> &m_requests;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, Connection> m_connections;
    QByteArray m_head;
    QByteArray m_slice;
};

HostileServer::HostileServer(Behaviour behaviour)
{
    m_connections = new HostileConnections(behaviour, m_requests);
    m_connections->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_connections, [this] { return m_connections->listen(); }, Qt::BlockingQueuedConnection, &m_port);
}

HostileServer::~HostileServer()
{
    QMetaObject::invokeMethod(
        m_connections, [this] { delete m_connections; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

QString HostileServer::address() const
{
    return u"127.0.0.1:"_s + QString::number(m_port);
}

} // namespace zorvane
