#include "net/http_exchange.h"

#include "text/gbk.h"

#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zorvane {

CompletionMarker CompletionMarker::inBytes(const QByteArray &marker)
{
    CompletionMarker completion;
    completion.m_where = Where::Bytes;
    completion.m_bytes = marker;
    return completion;
}

CompletionMarker CompletionMarker::inText(const QString &marker)
{
    CompletionMarker completion;
    completion.m_where = Where::Text;
    completion.m_text = marker;
    return completion;
}

CompletionMarker CompletionMarker::inLowercaseText(const QString &marker)
{
    CompletionMarker completion;
    completion.m_where = Where::LowercaseText;
    completion.m_text = marker.toLower();
    return completion;
}

CompletionMarker CompletionMarker::endOfPage()
{
    return inText(u"</html>"_s);
}

CompletionMarker CompletionMarker::when(std::function<bool(const QByteArray &, const QString &)> complete)
{
    CompletionMarker completion;
    completion.m_where = Where::Test;
    completion.m_test = std::move(complete);
    return completion;
}

HttpExchange::HttpExchange(QObject *parent) : QObject(parent), m_deadline(new QTimer(this)), m_decoder("GB18030")
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
    m_reply = {};
    m_lowercase.clear();
    m_decoder.resetState();

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
    const qsizetype previousBytes = m_reply.bytes.size();
    const qsizetype previousText = m_reply.text.size();
    const qsizetype previousLowercase = m_lowercase.size();
    const qint64 available = m_socket->bytesAvailable();
    if (available <= 0)
        return true;
    // Read no more than one byte past the limit: enough to know it is passed.
    const qsizetype room = m_request.maxReplySize - previousBytes;
    const QByteArray chunk = m_socket->read(qMin<qint64>(available, room + 1));
    if (chunk.size() > room) {
        fail(Failure::TooLarge);
        return false;
    }
    m_reply.bytes += chunk;
    const CompletionMarker::Where where = m_request.completion.m_where;
    if (m_request.receive == Receive::Text || where == CompletionMarker::Where::Text
        || where == CompletionMarker::Where::LowercaseText) {
        const QString text = m_decoder.decode(chunk);
        m_reply.text += text;
        if (where == CompletionMarker::Where::LowercaseText)
            m_lowercase += text.toLower();
    }
    if (isComplete(previousBytes, previousText, previousLowercase)) {
        finish();
        return false;
    }
    return true;
}

bool HttpExchange::isComplete(qsizetype previousBytes, qsizetype previousText, qsizetype previousLowercase) const
{
    // Only the new part and the marker's length before it can hold a marker
    // that was not there before.
    const CompletionMarker &completion = m_request.completion;
    switch (completion.m_where) {
    case CompletionMarker::Where::Bytes:
        return m_reply.bytes.indexOf(completion.m_bytes, qMax<qsizetype>(0, previousBytes - completion.m_bytes.size()))
               >= 0;
    case CompletionMarker::Where::Text:
        return m_reply.text.indexOf(completion.m_text, qMax<qsizetype>(0, previousText - completion.m_text.size()))
               >= 0;
    case CompletionMarker::Where::LowercaseText:
        return m_lowercase.indexOf(completion.m_text, qMax<qsizetype>(0, previousLowercase - completion.m_text.size()))
               >= 0;
    case CompletionMarker::Where::Test:
        return completion.m_test && completion.m_test(m_reply.bytes, m_reply.text);
    }
    return false;
}

void HttpExchange::finish()
{
    HttpReply reply = std::move(m_reply);
    m_reply = {};
    if (m_request.receive == Receive::Bytes)
        reply.text.clear();
    release();
    Q_EMIT finished(reply);
}

void HttpExchange::fail(Failure reason)
{
    if (!m_socket)
        return;
    m_reply = {};
    release();
    // A copy: a receiver may delete this exchange.
    const QString message = m_request.failureMessage;
    Q_EMIT failed(message, reason);
}

void HttpExchange::release()
{
    m_deadline->stop();
    m_lowercase.clear();
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace zorvane
