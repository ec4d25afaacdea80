// Synonym replacement on arbitrary libraries and articles: the indexed
// routine must give exactly what the literal one gives.
#include "rewrite/synonym_index.h"
#include "rewrite/tests/literal_synonyms.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 300)
        return 0;
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf(QChar(u'\x01'));
    const QString library = split < 0 ? input : input.left(split);
    const QString text = split < 0 ? input : input.mid(split + 1);
    if (SynonymIndex(library).replace(text) != literalReplaceSynonyms(text, library))
        __builtin_trap();
    return 0;
}
