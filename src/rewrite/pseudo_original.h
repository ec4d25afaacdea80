#pragma once

#include "format/format_options.h"
#include "rewrite/synonym_index.h"
#include "rewrite/synonyms.h"
#include "rewrite/word_segmenter.h"

#include <QRandomGenerator>
#include <QString>

#include <functional>
#include <optional>

namespace zorvane {

// The structure shuffle command: the paragraphs (and, from level 1, the
// sentences) reordered, then the plain formatting run.
QString shuffleStructure(const QString &html, int level, const FormatOptions &format, QRandomGenerator &random);

// What the one-key pseudo-original runs: the check boxes of the "yc" panel
// and the strength list's level (-1 when no strength is chosen).
struct PseudoOriginalOptions
{
    bool replaceSynonyms = false;
    bool changeOrder = false;
    int level = 0;
    SynonymOptions synonyms; // how the synonyms are exchanged
};

// Receives each status text as the run reaches its step.
using StatusReport = std::function<void(const QString &)>;

// Synonym replacement with the synonym library, the structure shuffle, then
// the formatting run of the one-key pseudo-original. Nothing when the
// shuffle is asked for without a strength: the article must then stay as it
// was. The library is used only when options.replaceSynonyms is set, so a
// caller loads it only then; the segmenter only when whole words are asked
// for as well.
std::optional<QString> oneKeyPseudoOriginal(const QString &html, const PseudoOriginalOptions &options,
                                            const FormatOptions &format, const SynonymIndex &synonyms,
                                            const WordSegmenter &segmenter, QRandomGenerator &random,
                                            const StatusReport &status = {});

} // namespace zorvane
