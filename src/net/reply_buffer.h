#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <functional>
#include <optional>

namespace zorvane {

// When a reply is complete: the caller names a marker and where to look for
// it, or gives its own test.
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
    // The header's empty line, then the body: as many bytes as Content-Length
    // announces, or at least one byte when it announces none.
    static CompletionMarker endOfBody();
    // Any test of its own on everything received so far (`text` is empty
    // unless the exchange receives text). It runs after every chunk, so it
    // must look only at what it has not seen before, or a long reply costs
    // time in the square of its size.
    static CompletionMarker when(std::function<bool(const QByteArray &bytes, const QString &text)> complete);

private:
    friend class ReplyBuffer;
    enum class Where { Bytes, Text, LowercaseText, Body, Test };
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
    int status = 0;   // the code of a status line "HTTP/1.1 200 OK"; 0 without one

    // A 2xx status: the server says it answered what was asked.
    bool isSuccess() const { return status >= 200 && status < 300; }
    bool isRedirect() const { return status >= 300 && status < 400; }
};

// The receiving side of one exchange, apart from its socket: the chunks as
// they come, the status line and Content-Length once they are in, the bound
// on the reply's size and the completion marker. Every chunk is looked at
// once, with only the few bytes before it that a marker split between two
// chunks needs, so a reply costs time in proportion to its size.
class ReplyBuffer
{
public:
    enum class Progress { Receiving, Complete, TooLarge };

    ReplyBuffer(CompletionMarker completion, bool receiveText, qsizetype maxSize);

    Progress append(QByteArrayView chunk);

    const HttpReply &reply() const { return m_reply; }
    // The reply so far; the buffer is empty afterwards.
    HttpReply take();

    qint64 receivedBytes() const { return m_received; }
    // What Content-Length announces, once the whole header is in.
    std::optional<qint64> announcedLength() const { return m_announced; }
    // Where the body begins (just after the header's empty line), or -1.
    qsizetype bodyStart() const { return m_bodyStart; }
    // Header and announced body together, when the header announced a length.
    std::optional<qint64> announcedSize() const
    {
        return m_announced ? std::optional<qint64>(m_bodyStart + *m_announced) : std::nullopt;
    }

    // The status code of a status line: "HTTP/", a version, one blank and
    // three digits; 0 for anything else.
    static int statusOf(QByteArrayView firstLine);

private:
    void readHeader(qsizetype previousSize);
    bool isComplete(qsizetype previousBytes, qsizetype previousText, qsizetype previousLowercase) const;

    CompletionMarker m_completion;
    bool m_keepText;
    qsizetype m_maxSize;
    HttpReply m_reply;
    QString m_lowercase; // kept only for a lower-case marker
    QStringDecoder m_decoder;
    qint64 m_received = 0;
    bool m_statusRead = false;
    qsizetype m_bodyStart = -1;
    std::optional<qint64> m_announced;
};

} // namespace zorvane
