#include "net/reply_buffer.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// A first line longer than this is not a status line, whatever follows.
constexpr qsizetype LongestStatusLine = 8 * 1024;

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArrayView trimmedLine(QByteArrayView line)
{
    qsizetype begin = 0, end = line.size();
    while (begin < end && (line[begin] == ' ' || line[begin] == '\t'))
        ++begin;
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r'))
        --end;
    return line.sliced(begin, end - begin);
}

// The first Content-Length of the header lines, when it is a number.
std::optional<qint64> contentLengthOf(QByteArrayView header)
{
    for (qsizetype at = 0; at < header.size();) {
        qsizetype end = header.indexOf('\n', at);
        if (end < 0)
            end = header.size();
        const QByteArrayView line = header.sliced(at, end - at);
        at = end + 1;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || trimmedLine(line.first(colon)).compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const QByteArrayView value = trimmedLine(line.sliced(colon + 1));
        if (value.isEmpty() || value.size() > 18)
            return std::nullopt;
        qint64 length = 0;
        for (char c : value) {
            if (!isAsciiDigit(c))
                return std::nullopt;
            length = length * 10 + (c - '0');
        }
        return length;
    }
    return std::nullopt;
}

} // namespace

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

CompletionMarker CompletionMarker::endOfBody()
{
    CompletionMarker completion;
    completion.m_where = Where::Body;
    return completion;
}

CompletionMarker CompletionMarker::when(std::function<bool(const QByteArray &, const QString &)> complete)
{
    CompletionMarker completion;
    completion.m_where = Where::Test;
    completion.m_test = std::move(complete);
    return completion;
}

ReplyBuffer::ReplyBuffer(CompletionMarker completion, bool receiveText, qsizetype maxSize)
    : m_completion(std::move(completion))
    , m_keepText(receiveText || m_completion.m_where == CompletionMarker::Where::Text
                 || m_completion.m_where == CompletionMarker::Where::LowercaseText)
    , m_maxSize(maxSize)
    , m_decoder("GB18030")
{}

int ReplyBuffer::statusOf(QByteArrayView firstLine)
{
    if (!firstLine.startsWith("HTTP/"))
        return 0;
    const qsizetype blank = firstLine.indexOf(' ');
    if (blank < 0 || blank + 4 > firstLine.size())
        return 0;
    const QByteArrayView code = firstLine.sliced(blank + 1, 3);
    if (!isAsciiDigit(code[0]) || !isAsciiDigit(code[1]) || !isAsciiDigit(code[2]))
        return 0;
    if (blank + 4 < firstLine.size() && firstLine[blank + 4] != ' ' && firstLine[blank + 4] != '\r')
        return 0;
    return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

ReplyBuffer::Progress ReplyBuffer::append(QByteArrayView chunk)
{
    const qsizetype previousBytes = m_reply.bytes.size();
    const qsizetype previousText = m_reply.text.size();
    const qsizetype previousLowercase = m_lowercase.size();
    if (chunk.size() > m_maxSize - previousBytes) {
        m_received = qint64(previousBytes) + chunk.size();
        return Progress::TooLarge;
    }
    m_reply.bytes.append(chunk);
    m_received = m_reply.bytes.size();
    if (m_keepText) {
        const QString text = m_decoder.decode(chunk);
        m_reply.text += text;
        if (m_completion.m_where == CompletionMarker::Where::LowercaseText)
            m_lowercase += text.toLower();
    }
    readHeader(previousBytes);
    // A reply that announces more than the bound is over it already.
    if (m_announced && *m_announced > qint64(m_maxSize) - m_bodyStart)
        return Progress::TooLarge;
    return isComplete(previousBytes, previousText, previousLowercase) ? Progress::Complete : Progress::Receiving;
}

void ReplyBuffer::readHeader(qsizetype previousSize)
{
    const QByteArray &bytes = m_reply.bytes;
    if (!m_statusRead) {
        const qsizetype lineEnd = bytes.indexOf('\n', previousSize);
        if (lineEnd >= 0) {
            m_statusRead = true;
            if (lineEnd <= LongestStatusLine)
                m_reply.status = statusOf(QByteArrayView(bytes).first(lineEnd));
        } else if (bytes.size() > LongestStatusLine) {
            m_statusRead = true;
        }
    }
    if (m_bodyStart < 0) {
        const qsizetype end = bytes.indexOf("\r\n\r\n", qMax<qsizetype>(0, previousSize - 3));
        if (end >= 0) {
            m_bodyStart = end + 4;
            m_announced = contentLengthOf(QByteArrayView(bytes).first(end));
        }
    }
}

bool ReplyBuffer::isComplete(qsizetype previousBytes, qsizetype previousText, qsizetype previousLowercase) const
{
    // Only the new part and the marker's length before it can hold a marker
    // that was not there before.
    const CompletionMarker &completion = m_completion;
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
    case CompletionMarker::Where::Body: {
        if (m_bodyStart < 0)
            return false;
        const qint64 body = qint64(m_reply.bytes.size()) - m_bodyStart;
        return m_announced ? body >= *m_announced : body > 0;
    }
    case CompletionMarker::Where::Test:
        return completion.m_test && completion.m_test(m_reply.bytes, m_reply.text);
    }
    return false;
}

HttpReply ReplyBuffer::take()
{
    HttpReply reply = std::move(m_reply);
    m_reply = {};
    m_lowercase.clear();
    return reply;
}

} // namespace zorvane
