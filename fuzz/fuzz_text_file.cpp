// What a text file's bytes read as: UTF-8 with its mark or when they are
// valid UTF-8 beyond ASCII, GBK otherwise. Files come from anywhere: pasted
// articles saved by others, libraries, the hand-off file.
#include "text/gbk.h"
#include "text/text_file.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeTextFile(bytes);
    bool ascii = true;
    for (char b : bytes)
        ascii = ascii && quint8(b) < 0x80;
    if (ascii && text != QString::fromLatin1(bytes))
        __builtin_trap();
    if (bytes.startsWith("\xEF\xBB\xBF") && text != QString::fromUtf8(bytes.mid(3)))
        __builtin_trap();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF") && !ascii && !utf8.hasError() && text != asUtf8)
        __builtin_trap();
    if (!bytes.startsWith("\xEF\xBB\xBF") && utf8.hasError() && text != fromGbk(bytes))
        __builtin_trap();
    return 0;
}
