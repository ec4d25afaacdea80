#pragma once

#include "checks/check_options.h"
#include "checks/suffix_automaton.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace zorvane {

// The typo library ("\data\error.dat"), one entry per CR LF line written
// wrong|right, prepared for markTypos: the library as the scan searches it (a
// line break added at both ends, so that every entry has a line feed before
// it) and its suffix automaton. Built once per library text; immutable, so
// any number of threads may scan with one index at once.
class TypoIndex
{
public:
    explicit TypoIndex(const QString &library = QString());

    // The length of the typo starting at text[pos], or 0. firstEnd receives
    // where the key's first occurrence ends in the searched library.
    qsizetype typoAt(QStringView text, qsizetype pos, qsizetype &firstEnd) const;
    // The second "|" field of the line holding the key that starts at keyStart
    // and ends at firstEnd; the line runs to the next CR after the key.
    QStringView correction(qsizetype keyStart, qsizetype firstEnd) const;

private:
    QString m_searched;
    SuffixAutomaton m_automaton;
};

// markTypos scans the text (HTML included, tags and attributes like any other
// text) position by position. At each position it grows a candidate one
// character at a time for as long as the candidate occurs somewhere in the
// library; the first length whose first occurrence in the library is an entry
// key (at a line start and followed by "|") is a typo. TypoMark::Mark wraps
// the typo in "<font color=red>" and "</font>"; TypoMark::Replace puts the
// second "|" field of its library line instead. Scanning resumes after the
// inserted text. count receives the number of typos found.
QString markTypos(const QString &text, const TypoIndex &library, TypoMark mark, int &count);

// The typos markTypos finds, in text order: where each stands in the text
// and its correct form (a view into the library, valid while it lives).
struct TypoFound
{
    qsizetype start;
    qsizetype length;
    QStringView correction;
};
std::vector<TypoFound> findTypos(QStringView text, const TypoIndex &library);

// Half-width , . ! ? : in red or turned into their full-width forms, on every
// occurrence, markup included.
QString fixPunctuation(const QString &text, TypoMark mark);

} // namespace zorvane
