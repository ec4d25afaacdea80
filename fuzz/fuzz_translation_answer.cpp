// The translation service's page, read into paragraphs: any bytes a server
// may send.
#include "rewrite/translation.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString result = translationFromAnswer(page);
    // Either nothing, which leaves the article alone, or text to write back.
    if (!result.isEmpty() && result.trimmed().isEmpty())
        __builtin_trap();
    // Line ends all became paragraphs.
    if (result.contains(QLatin1String("\r\n")))
        __builtin_trap();
    return 0;
}
