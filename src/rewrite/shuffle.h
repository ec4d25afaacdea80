#pragma once

#include <QRandomGenerator>
#include <QString>

namespace zorvane {

// Structure shuffle: each paragraph (and, at higher strengths, each sentence
// of a paragraph) goes either to the front or to the end of what has been
// built so far, by one draw r from 0 to 9: to the front when r exceeds the
// threshold of the strength level. Levels 0 to 3 are the strengths
// "20%" to "80%"; any other level means none was chosen and moves nine pieces
// in ten to the front.
//
// Every draw comes from the given generator: a command passes the
// process-wide one, seeded once, or a seeded one to repeat a run.

int paragraphThreshold(int level);
// Level 0 does not reorder sentences: nothing exceeds its threshold.
int sentenceThreshold(int level);

// The article's paragraphs ("</p>"-ended pieces, opening "<p...>" tags
// removed) reordered, each rewrapped in a plain "<p>"; pieces holding only
// spaces are dropped. From level 1 the sentences of each paragraph are
// reordered as well. Without "</p>" the whole text is one paragraph whose
// sentences are reordered (level 0 leaves it as it is).
QString shuffleParagraphs(const QString &html, int level, QRandomGenerator &random);

// The sentences of text (split at "。", or else at ".") reordered, the first
// one staying first; sentences of at most one character besides spaces are
// dropped, every sentence ends with the separator and doubled separators
// collapse. A text without either separator comes back unchanged.
QString shuffleSentences(const QString &text, int level, QRandomGenerator &random);

} // namespace zorvane
