#include "net/reply_buffer.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// A first line longer than this is not a status line, whatever follows; a
// header longer than this announces nothing.
constexpr qsizetype LongestStatusLine = 8 * 1024;
constexpr qsizetype LongestHeader = 256 * 1024;

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

} // namespace

std::optional<qint64> ReplyBuffer::contentLengthOf(QByteArrayView header)
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

CompletionMarker CompletionMarker::when(std::function<bool(QByteArrayView, QStringView)> complete)
{
    CompletionMarker completion;
    completion.m_where = Where::Test;
    completion.m_test = std::move(complete);
    return completion;
}

ReplyBuffer::ReplyBuffer(CompletionMarker completion, Keep keep, qsizetype maxSize)
    : m_completion(std::move(completion))
    , m_keep(keep)
    , m_maxSize(maxSize)
    , m_decoder("GB18030")
    , m_decode(keep == Keep::Text || m_completion.m_where == CompletionMarker::Where::Text
               || m_completion.m_where == CompletionMarker::Where::LowercaseText
               || (m_completion.m_where == CompletionMarker::Where::Test && keep != Keep::Bytes))
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
    if (chunk.size() > m_maxSize - m_received) {
        m_received += chunk.size();
        return Progress::TooLarge;
    }
    readHead(chunk);
    m_received += chunk.size();
    // A reply that announces more than the bound is over it already.
    if (m_announced && *m_announced > qint64(m_maxSize) - m_bodyStart)
        return Progress::TooLarge;
    const QString text = m_decode ? m_decoder.decode(chunk) : QString();
    if (m_keep == Keep::Bytes)
        m_reply.bytes.append(chunk);
    else if (m_keep == Keep::Text)
        m_reply.text += text;
    return isComplete(chunk, text) ? Progress::Complete : Progress::Receiving;
}

void ReplyBuffer::readHead(QByteArrayView chunk)
{
    if (m_headDone)
        return;
    const qsizetype before = m_head.size();
    m_head.append(chunk.first(qMin(chunk.size(), LongestHeader - before)));
    if (m_reply.status == 0) {
        const qsizetype lineEnd = m_head.indexOf('\n', before);
        if (lineEnd >= 0 && lineEnd <= LongestStatusLine)
            m_reply.status = statusOf(QByteArrayView(m_head).first(lineEnd));
    }
    const qsizetype end = m_head.indexOf("\r\n\r\n", qMax<qsizetype>(0, before - 3));
    if (end >= 0) {
        m_bodyStart = end + 4;
        m_announced = contentLengthOf(QByteArrayView(m_head).first(end));
    }
    // A header longer than any server sends is no header: its length is not
    // read, and nothing of it is kept any longer.
    if (end >= 0 || m_head.size() >= LongestHeader) {
        m_headDone = true;
        m_head = QByteArray();
    }
}

namespace {

// Whether the marker is in the new part or across the seam with what was
// looked at last; `seam` keeps the end of what has been seen, one character
// short of the marker, for the next look.
template <typename Seam, typename View, typename Marker>
bool foundAcross(Seam &seam, View fresh, const Marker &marker)
{
    if (marker.isEmpty())
        return true;
    const qsizetype overlap = marker.size() - 1;
    Seam across = seam;
    across.append(fresh.first(qMin(fresh.size(), overlap)));
    if (across.indexOf(marker) >= 0 || fresh.indexOf(marker) >= 0)
        return true;
    if (fresh.size() >= overlap)
        seam.clear();
    seam.append(fresh.last(qMin(fresh.size(), overlap)));
    seam = seam.right(overlap);
    return false;
}

} // namespace

bool ReplyBuffer::isComplete(QByteArrayView chunk, QStringView text)
{
    CompletionMarker &completion = m_completion;
    switch (completion.m_where) {
    case CompletionMarker::Where::Bytes:
        return foundAcross(m_byteTail, chunk, completion.m_bytes);
    case CompletionMarker::Where::Text:
        return foundAcross(m_textTail, text, completion.m_text);
    case CompletionMarker::Where::LowercaseText:
        return foundAcross(m_textTail, QStringView(text.toString().toLower()), completion.m_text);
    case CompletionMarker::Where::Body:
        if (m_bodyStart < 0)
            return false;
        return m_announced ? m_received - m_bodyStart >= *m_announced : m_received > m_bodyStart;
    case CompletionMarker::Where::Test:
        return completion.m_test && completion.m_test(chunk, text);
    }
    return false;
}

HttpReply ReplyBuffer::take()
{
    HttpReply reply = std::move(m_reply);
    m_reply = {};
    return reply;
}

} // namespace zorvane
