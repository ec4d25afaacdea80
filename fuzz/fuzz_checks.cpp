// The fast typo and sensitive-word scans against the plain ones, on any
// library and any article: the input is "library \0 article" in UTF-8.
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "literal_checks.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 512)
        return 0; // the plain scans are cubic at worst
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString library = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString text = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));

    const TypoIndex typos(library);
    for (const TypoMark mark : {TypoMark::Mark, TypoMark::Replace}) {
        int count = 0;
        int expectedCount = 0;
        if (markTypos(text, typos, mark, count) != literal::markTypos(text, library, mark, expectedCount)
            || count != expectedCount)
            __builtin_trap();
    }
    const SensitiveWordsResult sensitive = checkSensitiveWords(text, SensitiveIndex(library));
    const literal::SensitiveResult expected = literal::checkSensitiveWords(text, library);
    if (sensitive.marked != expected.marked || sensitive.count != expected.count)
        __builtin_trap();
    return 0;
}
