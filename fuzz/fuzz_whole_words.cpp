// Whole-word synonym exchange on arbitrary libraries and articles: tags,
// comments, references and unpaired surrogates in any arrangement, segmented
// by the real dictionary. Nothing may crash or read out of bounds, and the
// boundaries must lie in the text, ascending.
#include "rewrite/synonyms.h"
#include "rewrite/word_segmenter.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

namespace {

std::unique_ptr<const WordSegmenter> segmenter;

} // namespace

// The dictionary is read once, before the first input and its time limit.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    segmenter = WordSegmenter::load(WordSegmenter::systemDictionary());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1 << 20) || !segmenter || !segmenter->isLoaded())
        return 0;
    // UTF-16 as given, so that unpaired surrogates and NULs reach the segmenter.
    const QString input(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const qsizetype split = input.indexOf(QChar(u'\x01'));
    const QString library = split < 0 ? QString() : input.left(split);
    const QString text = split < 0 ? input : input.mid(split + 1);

    const std::vector<qsizetype> bounds = segmenter->boundaries(text);
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        if (bounds[i] < 0 || bounds[i] > text.size() || (i > 0 && bounds[i] <= bounds[i - 1]))
            __builtin_trap();
    }
    const SynonymIndex index(library);
    const QString replaced = replaceSynonyms(text, index, {true}, *segmenter);
    if (replaceSynonyms(text, index, {true}, WordSegmenter()) != text)
        __builtin_trap();
    (void)replaced;
    return 0;
}
