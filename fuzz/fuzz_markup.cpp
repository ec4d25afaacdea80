// The markup routines run over pasted articles and received pages.
#include "text/text_utils.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString lowered = lowercaseTagNames(html);
    const QString stripped = stripHtml(html);
    const QString paragraphs = htmlToParagraphs(html);
    // Stripping only ever removes text.
    if (stripped.size() > html.size())
        __builtin_trap();
    // Lower-casing tag names never changes the length.
    if (lowered.size() != html.size() && lowered.toLower() != html.toLower())
        __builtin_trap();
    (void)paragraphs;
    return 0;
}
