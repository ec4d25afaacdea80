// decodeUtf8 takes whatever bytes a server sends.
#include "text/text_utils.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeUtf8(bytes);
    // Every input byte yields at most one UTF-16 unit, a pair only for a
    // four-byte sequence; a truncated tail yields one "?".
    if (text.size() > bytes.size() + 1)
        __builtin_trap();
    // What comes out is well-formed UTF-16: no unpaired surrogates.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                __builtin_trap();
            ++i;
        } else if (text.at(i).isLowSurrogate()) {
            __builtin_trap();
        }
    }
    return 0;
}
