#include "net/http_exchange.h"

#include "net/net_log.h"
#include "text/gbk.h"

#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zorvane {

HttpExchange::HttpExchange(QObject *parent) : QObject(parent), m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] { fail(Failure::TimedOut); });
}

HttpExchange::~HttpExchange()
{
    release();
}

void HttpExchange::start(const Request &request)
{
    release();
    m_request = request;
    const ReplyBuffer::Keep keep = m_request.receive == Receive::Text    ? ReplyBuffer::Keep::Text
                                   : m_request.receive == Receive::Bytes ? ReplyBuffer::Keep::Bytes
                                                                         : ReplyBuffer::Keep::Nothing;
    m_buffer = std::make_unique<ReplyBuffer>(m_request.completion, keep, m_request.maxReplySize);

    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &HttpExchange::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpExchange::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &HttpExchange::onSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpExchange::onDisconnected);
    m_deadline->start(m_request.timeout.count() > 0 ? m_request.timeout : serverTimeout());
    m_socket->connectToHost(m_request.server.host, m_request.server.port);
}

void HttpExchange::abort()
{
    release();
}

void HttpExchange::onConnected()
{
    m_socket->write(toGbk(m_request.text));
}

void HttpExchange::onReadyRead()
{
    takeAvailable();
}

void HttpExchange::onSocketError()
{
    // The last chunk may come together with the hang-up; it may hold the marker.
    if (!takeAvailable())
        return;
    fail(m_socket->error() == QAbstractSocket::RemoteHostClosedError ? Failure::ClosedEarly : Failure::Network);
}

void HttpExchange::onDisconnected()
{
    if (!takeAvailable())
        return;
    fail(Failure::ClosedEarly);
}

bool HttpExchange::takeAvailable()
{
    if (!m_socket)
        return false;
    const qint64 available = m_socket->bytesAvailable();
    if (available <= 0)
        return true;
    // Read no more than one byte past the bound: enough to know it is passed.
    const qint64 room = m_request.maxReplySize - m_buffer->receivedBytes();
    const QByteArray chunk = m_socket->read(qMin<qint64>(available, room + 1));
    switch (m_buffer->append(chunk)) {
    case ReplyBuffer::Progress::Receiving:
        return true;
    case ReplyBuffer::Progress::Complete:
        finish();
        return false;
    case ReplyBuffer::Progress::TooLarge:
        logOversizedReply(m_request.server.authority(), m_buffer->receivedBytes(), m_buffer->announcedSize(),
                          m_request.maxReplySize);
        fail(Failure::TooLarge);
        return false;
    }
    return true;
}

void HttpExchange::finish()
{
    HttpReply reply = m_buffer->take();
    release();
    Q_EMIT finished(reply);
}

void HttpExchange::fail(Failure reason)
{
    if (!m_socket)
        return;
    release();
    // A copy: a receiver may delete this exchange.
    const QString message = m_request.failureMessage;
    Q_EMIT failed(message, reason);
}

void HttpExchange::release()
{
    m_deadline->stop();
    m_buffer.reset();
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace zorvane
