// The socket exchange's receiving side on any reply cut into any chunks: the
// input is "chunk lengths \0 reply" (the first part's bytes give the lengths).
// The completion markers, the status line, the announced length and the
// bound must agree with searching everything received after every chunk.
#include "net/reply_buffer.h"

#include <QList>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

std::optional<qint64> literalLength(const QByteArray &header)
{
    for (const QByteArray &line : header.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (value.isEmpty() || value.size() > 18)
            return std::nullopt;
        for (char c : value) {
            if (c < '0' || c > '9')
                return std::nullopt;
        }
        return value.toLongLong();
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray lengths = split < 0 ? QByteArray() : input.left(qMin<qsizetype>(split, 32));
    const QByteArray reply = split < 0 ? input : input.mid(split + 1);
    // The literal searches everything after every chunk: only for replies
    // short enough that doing so stays quick; longer ones run the buffer alone.
    const bool compare = reply.size() <= 16 * 1024;
    const qsizetype bound = lengths.isEmpty() ? reply.size() : qsizetype(quint8(lengths[0])) * 64;

    for (int kind = 0; kind < 4; ++kind) {
        const CompletionMarker completion = kind == 0   ? CompletionMarker::inBytes("</html>")
                                            : kind == 1 ? CompletionMarker::inText(u"</html>"_s)
                                            : kind == 2 ? CompletionMarker::inLowercaseText(u"</HTML>"_s)
                                                        : CompletionMarker::endOfBody();
        ReplyBuffer buffer(completion, kind == 0 || kind == 3 ? ReplyBuffer::Keep::Bytes : ReplyBuffer::Keep::Text,
                           bound);
        QStringDecoder decoder("GB18030");
        QByteArray received;
        QString text;
        ReplyBuffer::Progress progress = ReplyBuffer::Progress::Receiving;
        for (qsizetype at = 0, i = 0; at < reply.size() && progress == ReplyBuffer::Progress::Receiving; ++i) {
            const qsizetype length =
                i < lengths.size() ? 1 + quint8(lengths[i]) % 97 : qMin<qsizetype>(4096, reply.size() - at);
            const QByteArray chunk = reply.mid(at, length);
            at += chunk.size();
            progress = buffer.append(chunk);
            if (!compare)
                continue;
            received += chunk;
            text += decoder.decode(chunk);
            const qsizetype headerEnd = received.indexOf("\r\n\r\n");
            const std::optional<qint64> announced =
                headerEnd >= 0 && headerEnd + 4 <= 256 * 1024 ? literalLength(received.left(headerEnd)) : std::nullopt;
            const bool tooLarge = received.size() > bound || (announced && headerEnd + 4 + *announced > bound);
            bool done = false;
            if (kind == 0)
                done = received.contains("</html>");
            else if (kind == 1)
                done = text.contains(u"</html>"_s);
            else if (kind == 2)
                done = text.toLower().contains(u"</html>"_s);
            else
                done = headerEnd >= 0 && headerEnd + 4 <= 256 * 1024
                       && (announced ? received.size() - headerEnd - 4 >= *announced : received.size() > headerEnd + 4);
            const ReplyBuffer::Progress expected = tooLarge ? ReplyBuffer::Progress::TooLarge
                                                   : done   ? ReplyBuffer::Progress::Complete
                                                            : ReplyBuffer::Progress::Receiving;
            if (progress != expected)
                __builtin_trap();
        }
        const HttpReply got = buffer.take();
        if (compare && progress != ReplyBuffer::Progress::TooLarge) {
            if ((kind == 0 || kind == 3 ? got.bytes != received : got.text != text))
                __builtin_trap();
            const qsizetype lineEnd = received.indexOf('\n');
            const int status = lineEnd >= 0 && lineEnd <= 8 * 1024
                                   ? ReplyBuffer::statusOf(QByteArrayView(received).first(lineEnd))
                                   : 0;
            if (got.status != status)
                __builtin_trap();
        }
        if (got.status != 0 && (got.status < 100 || got.status > 999))
            __builtin_trap();
    }
    return 0;
}
