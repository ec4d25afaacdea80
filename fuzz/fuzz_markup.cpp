// The markup routines run over pasted articles and received pages.
#include "text/text_utils.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString stripped = stripHtml(html);
    const QString paragraphs = htmlToParagraphs(html);
    // Stripping only ever removes text.
    if (stripped.size() > html.size())
        __builtin_trap();
    (void)paragraphs;
    // The shuffle lower-cases the tag names of the user's own article, tag
    // text by tag text over the whole of it: pages read from a server never
    // go through it, so it is held to the length of an article.
    if (html.size() <= 64 * 1024) {
        const QString lowered = lowercaseTagNames(html);
        // Lower-casing tag names never changes the length.
        if (lowered.size() != html.size() && lowered.toLower() != html.toLower())
            __builtin_trap();
    }
    return 0;
}
