#pragma once

#include "rewrite/synonym_index.h"
#include "rewrite/word_segmenter.h"

#include <QString>
#include <QStringView>

namespace zorvane {

// How synonym replacement chooses its places (YC/WholeWords).
struct SynonymOptions
{
    // Exchange a library word only where it stands as a word of the article's
    // text; off: wherever its characters stand side by side, tags included.
    bool wholeWords = false;
};

// Synonym replacement over the raw article HTML (tags included). The library
// is the text of "\data\same.dat": one group of words of the same meaning per
// line, words separated by "|", lines by CR LF.
//
// At each position of the article (CR and LF excepted) a candidate starts as
// one character and grows by one article character for as long as its first
// occurrence in the library is not a whole library word. When it is, the
// candidate is exchanged for the second word of that library line (when the
// found word is followed by "|") or for the first word (when it ends its
// line): in A|B, A and B swap; in A|B|C, A becomes B, B stays and C becomes A.
// Nothing is exchanged at a position whose candidate stops occurring in the
// library or reaches the end of the article. The article continues after the
// inserted word.
QString replaceSynonyms(const QString &text, const SynonymIndex &library);

// With options.wholeWords off, the replacement above. On, only the text
// between tags is looked at (not tags, comments, character references, nor
// scripts and style sheets), and a library word is exchanged only where the
// segmenter puts a word boundary before and after it: 手指 stays in 选手指出.
// At each boundary the longest library word that ends on a boundary is
// exchanged as above; the text continues after it. A segmenter that is not
// loaded finds no words, so nothing is exchanged.
QString replaceSynonyms(const QString &text, const SynonymIndex &library, const SynonymOptions &options,
                        const WordSegmenter &segmenter);

// The characters that delimit a library word: none at all (the ends of the
// library), CR, LF and "|".
bool isLibraryBoundary(QStringView c);

} // namespace zorvane
