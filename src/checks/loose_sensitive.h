#pragma once

#include "checks/char_folding.h"
#include "checks/keyword_automaton.h"
#include "checks/sensitive_words.h"
#include "checks/visible_chars.h"

#include <QString>

#include <memory>
#include <vector>

namespace zorvane {

// The sensitive-word library read so that disguise does not hide a word:
// each word and each word of the allow-list folded to its plain form, in one
// automaton. Built once per library; the checks only read it.
class LooseSensitiveIndex
{
public:
    // library and allowList hold one word a line; traditional may be empty.
    LooseSensitiveIndex(const QString &library, const QString &allowList, const TraditionalChars &traditional);
    // The same with a folding built once for many indexes.
    LooseSensitiveIndex(const QString &library, const QString &allowList, std::shared_ptr<const CharFolding> folding);

    // At most this many separators may stand between two characters of a word.
    static constexpr int MaxGap = 3;

    struct Word
    {
        int length = 0; // in folded UTF-16 units
        bool blocked = false;
        bool allowed = false;
    };
    // A word made only of signs ("☭"): nothing is left of it once the signs
    // are folded away, so it is found as written.
    struct SignWord
    {
        QString text;
        bool blocked = false;
    };

    const CharFolding &folding() const { return *m_folding; }
    const KeywordAutomaton &automaton() const { return m_automaton; }
    const std::vector<Word> &words() const { return m_words; } // by automaton id
    const std::vector<SignWord> &signWords() const { return m_signWords; }

private:
    void addLine(QStringView line, bool blocked);

    std::shared_ptr<const CharFolding> m_folding;
    KeywordAutomaton m_automaton;
    std::vector<Word> m_words;
    std::vector<SignWord> m_signWords;
};

// A disguised occurrence, or several that overlap, as UTF-16 offsets into the
// text checked.
struct SensitiveSpan
{
    qsizetype start;
    qsizetype length;
};

// Every occurrence of a library word in text, with up to MaxGap blanks,
// punctuation marks, symbols or zero-width characters between any two of its
// characters, matched across width, case and traditional forms, unless it
// lies within an occurrence of an allowed word. Overlapping occurrences make
// one span; spans come in text order. In HTML, markup is no text: a tag
// inside a word parts it only where it parts the line (a block, a <br>).
std::vector<SensitiveSpan> findSensitiveSpans(QStringView text, TextKind kind, const LooseSensitiveIndex &index);

// The check on the editor's HTML: every span wrapped in "<font color=red>"
// and "</font>" (piece by piece where markup stands inside it, so that no
// element is broken); the count is the number of spans.
SensitiveWordsResult checkSensitiveWordsLoose(const QString &html, const LooseSensitiveIndex &index);

} // namespace zorvane
