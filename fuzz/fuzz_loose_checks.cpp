// The checks that read an article as a reader sees it, on any input: the
// sensitive-word check that sees through disguise and the Chinese-Latin
// spacing. The input is "library \0 allow-list \0 article" in UTF-8. Spans
// must lie in the article, in order, apart, and never begin or end inside
// markup; spacing twice must change nothing more than spacing once.
#include "checks/cjk_spacing.h"
#include "checks/lint.h"
#include "checks/loose_sensitive.h"
#include "snapshot/opencc_traditional.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\0');
    const QString library = QString::fromUtf8(parts.value(0));
    const QString allow = QString::fromUtf8(parts.value(1));
    const QString text = QString::fromUtf8(parts.value(2));

    static const auto folding =
        std::make_shared<const CharFolding>(loadTraditionalChars().chars.value_or(TraditionalChars()));
    const LooseSensitiveIndex index(library.left(4096), allow.left(4096), folding);
    for (const TextKind kind : {TextKind::Html, TextKind::Plain}) {
        const VisibleText visible = visibleChars(text, kind);
        qsizetype last = 0;
        for (const SensitiveSpan &span : findSensitiveSpans(text, kind, index)) {
            if (span.start < last || span.length <= 0 || span.start + span.length > text.size())
                __builtin_trap();
            for (const auto &[start, end] : visible.markup) {
                if ((span.start > start && span.start < end)
                    || (span.start + span.length > start && span.start + span.length < end))
                    __builtin_trap();
            }
            last = span.start + span.length;
        }
        const QString spaced = applyCjkSpacing(text, kind, CjkSpacing::OneBlank);
        if (applyCjkSpacing(spaced, kind, CjkSpacing::OneBlank) != spaced)
            __builtin_trap();
        applyCjkSpacing(text, kind, CjkSpacing::NoBlank);
    }
    const SensitiveWordsResult marked = checkSensitiveWordsLoose(text, index);
    if (marked.count > 0 && marked.marked.size() <= text.size())
        __builtin_trap();
    placeFindings(text, punctuationRanges(text));
    return 0;
}
