#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <functional>
#include <optional>

namespace zorvane {

// When a reply is complete: the caller names a marker and where to look for
// it, or gives its own test. A marker is looked for only in what arrived
// since the last look, with the few characters before it that a marker split
// between two chunks needs.
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
    // A test of its own, given each chunk as it arrives (and its text, when
    // the exchange receives text) until it says the reply is complete.
    static CompletionMarker when(std::function<bool(QByteArrayView chunk, QStringView text)> complete);

private:
    friend class ReplyBuffer;
    enum class Where { Bytes, Text, LowercaseText, Body, Test };
    Where m_where = Where::Bytes;
    QByteArray m_bytes;
    QString m_text;
    std::function<bool(QByteArrayView, QStringView)> m_test;
};

// Everything received once the marker arrived.
struct HttpReply
{
    QByteArray bytes; // as received, when the exchange receives bytes
    QString text;     // GBK-decoded, when the exchange receives text
    int status = 0;   // the code of a status line "HTTP/1.1 200 OK"; 0 without one

    // A 2xx status: the server says it answered what was asked.
    bool isSuccess() const { return status >= 200 && status < 300; }
    bool isRedirect() const { return status >= 300 && status < 400; }
};

// The receiving side of one exchange, apart from its socket: the chunks as
// they come, the status line and Content-Length once they are in, the bound
// on the reply's size and the completion marker. Every chunk is looked at
// once, so a reply costs time in proportion to its size, and only what the
// caller reads is kept: the text of a text exchange, the bytes of a bytes
// exchange, or nothing at all.
class ReplyBuffer
{
public:
    enum class Progress { Receiving, Complete, TooLarge };
    enum class Keep { Text, Bytes, Nothing };

    ReplyBuffer(CompletionMarker completion, Keep keep, qsizetype maxSize);

    Progress append(QByteArrayView chunk);

    // The reply so far; the buffer is empty afterwards.
    HttpReply take();

    qint64 receivedBytes() const { return m_received; }
    // What Content-Length announces, once the whole header is in.
    std::optional<qint64> announcedLength() const { return m_announced; }
    // Header and announced body together, when the header announced a length.
    std::optional<qint64> announcedSize() const
    {
        return m_announced ? std::optional<qint64>(m_bodyStart + *m_announced) : std::nullopt;
    }

    // The status code of a status line: "HTTP/", a version, one blank and
    // three digits; 0 for anything else.
    static int statusOf(QByteArrayView firstLine);
    // The first Content-Length of header lines, when it is a number.
    static std::optional<qint64> contentLengthOf(QByteArrayView header);

private:
    void readHead(QByteArrayView chunk);
    bool isComplete(QByteArrayView chunk, QStringView text);

    CompletionMarker m_completion;
    Keep m_keep;
    qsizetype m_maxSize;
    HttpReply m_reply;
    QStringDecoder m_decoder;
    bool m_decode;
    qint64 m_received = 0;
    // The start of the reply, until its header has ended (or cannot be one).
    QByteArray m_head;
    bool m_headDone = false;
    qint64 m_bodyStart = -1;
    std::optional<qint64> m_announced;
    // The end of what was looked at last, for a marker split between chunks.
    QByteArray m_byteTail;
    QString m_textTail;
};

} // namespace zorvane
