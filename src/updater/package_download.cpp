#include "updater/package_download.h"

#include "net/http_request.h"
#include "text/gbk.h"

#include <QIODevice>
#include <QTcpSocket>
#include <QTimer>

#include <limits>

namespace zorvane {

namespace {

// Bytes read from the socket at a time, and at most held in its buffer: a
// slow disk must not let the socket gather a whole package in memory.
constexpr qint64 chunkSize = 1024 * 1024;
constexpr qint64 socketBufferSize = 4 * 1024 * 1024;
constexpr qsizetype largestHeader = 64 * 1024;

QString printable(QByteArrayView bytes)
{
    QString text;
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7f)
            text += QLatin1Char(c);
    }
    return text.left(120);
}

// The value of a decimal header field, or -1.
qint64 decimalValue(QByteArrayView value)
{
    value = value.trimmed();
    if (value.isEmpty() || value.size() > 18)
        return -1;
    qint64 number = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

} // namespace

PackageDownload::PackageDownload(QObject *parent)
    : QObject(parent)
    , m_deadline(new QTimer(this))
    , m_total(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] { fail(Failure::TimedOut); });
    m_total->setSingleShot(true);
    connect(m_total, &QTimer::timeout, this, [this] { fail(Failure::TooSlow); });
}

PackageDownload::~PackageDownload()
{
    release();
}

void PackageDownload::start(const Request &request, QIODevice *sink)
{
    release();
    m_request = request;
    if (m_request.timeout.count() <= 0)
        m_request.timeout = serverTimeout();
    m_sink = sink;
    m_header.clear();
    m_headerDone = false;
    m_statusLine.clear();
    m_contentLength = -1;
    m_written = 0;

    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(socketBufferSize);
    connect(m_socket, &QTcpSocket::connected, this, &PackageDownload::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &PackageDownload::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &PackageDownload::onSocketError);
    connect(m_socket, &QTcpSocket::disconnected, this, &PackageDownload::onDisconnected);
    m_deadline->start(m_request.timeout);
    m_clock.start();
    m_socket->connectToHost(m_request.server.host, m_request.server.port);
}

void PackageDownload::abort()
{
    release();
}

void PackageDownload::onConnected()
{
    m_socket->write(toGbk(buildGetRequest(m_request.path, m_request.server.authority(), QString(), QString())));
}

void PackageDownload::onReadyRead()
{
    takeAvailable();
}

void PackageDownload::onSocketError()
{
    if (m_socket && m_socket->error() == QAbstractSocket::RemoteHostClosedError) {
        // The last bytes may come together with the hang-up.
        if (takeAvailable())
            fail(Failure::ClosedEarly);
        return;
    }
    fail(Failure::Network);
}

void PackageDownload::onDisconnected()
{
    if (takeAvailable())
        fail(Failure::ClosedEarly);
}

bool PackageDownload::takeAvailable()
{
    while (m_socket && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(chunkSize);
        QByteArrayView body = chunk;
        if (!m_headerDone && !takeHeader(chunk, body))
            return false;
        if (m_headerDone && !takeBody(body))
            return false;
    }
    return m_socket != nullptr;
}

bool PackageDownload::takeHeader(QByteArrayView chunk, QByteArrayView &body)
{
    // The end of the header may be cut between two chunks: look again from
    // just before where the last chunk ended.
    const qsizetype searchFrom = qMax<qsizetype>(0, m_header.size() - 3);
    m_header.append(chunk);
    const qsizetype end = m_header.indexOf("\r\n\r\n", searchFrom);
    if (end < 0) {
        body = {};
        if (m_header.size() > largestHeader) {
            fail(Failure::BadHeader);
            return false;
        }
        return true;
    }
    // What followed the header in this chunk is body.
    const qsizetype headerSize = end + 4;
    body = chunk.sliced(chunk.size() - (m_header.size() - headerSize));
    m_header.truncate(end);
    m_headerDone = true;

    const QList<QByteArray> lines = m_header.split('\n');
    const QByteArray statusLine = lines.first().trimmed();
    m_statusLine = printable(statusLine);
    const QList<QByteArray> words = statusLine.simplified().split(' ');
    if (words.size() < 2 || !words[0].startsWith("HTTP/")) {
        fail(Failure::BadHeader);
        return false;
    }
    if (decimalValue(words[1]) != 200) {
        fail(Failure::HttpStatus);
        return false;
    }
    qint64 length = -1;
    bool readable = true;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArrayView value = QByteArrayView(lines[i]).sliced(colon + 1);
        if (name == "content-length") {
            const qint64 announced = decimalValue(value);
            if (announced < 0 || (length >= 0 && announced != length))
                readable = false;
            length = announced;
        } else if (name == "transfer-encoding" && value.trimmed().compare("identity", Qt::CaseInsensitive) != 0) {
            // The body would carry the coding's framing, not the file.
            readable = false;
        }
    }
    if (!readable || length < 0) {
        fail(Failure::NoContentLength);
        return false;
    }
    // Known even when refused: the refusal says what was announced.
    m_contentLength = length;
    if (length > m_request.maxBodySize || length > largestBody) {
        fail(Failure::TooLarge);
        return false;
    }
    m_header.clear();
    // Counted from the start: the time the header took is spent already.
    const qint64 allowed = qint64(m_request.timeout.count()) + length * 1000 / slowestRate - m_clock.elapsed();
    m_total->start(int(qBound(qint64(0), allowed, qint64(std::numeric_limits<int>::max()))));
    Q_EMIT progressed(-1, m_contentLength);
    if (!m_socket)
        return false; // a receiver dropped the download
    if (m_contentLength == 0) {
        release();
        Q_EMIT finished();
        return false;
    }
    return true;
}

bool PackageDownload::takeBody(QByteArrayView bytes)
{
    const qsizetype take = qsizetype(qMin<qint64>(bytes.size(), m_contentLength - m_written));
    if (take <= 0)
        return true;
    if (m_sink->write(bytes.constData(), take) != take) {
        fail(Failure::WriteFailed);
        return false;
    }
    m_written += take;
    m_deadline->start(m_request.timeout);
    Q_EMIT progressed(m_written - 1, m_contentLength);
    if (!m_socket)
        return false; // a receiver dropped the download
    if (m_written == m_contentLength) {
        // Whatever the server sends beyond the announced length is not read.
        release();
        Q_EMIT finished();
        return false;
    }
    return true;
}

void PackageDownload::fail(Failure reason)
{
    if (!m_socket)
        return;
    release();
    Q_EMIT failed(reason);
}

void PackageDownload::release()
{
    m_deadline->stop();
    m_total->stop();
    m_header.clear();
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace zorvane
