#pragma once

#include "checks/keyword_automaton.h"

#include <QString>

#include <vector>

namespace zorvane {

// The sensitive-word library ("\data\hexie.dat"), one word or phrase per CR
// LF line, prepared for the check: its lines in file order and an automaton
// that tells in one pass which of them occur in an article. Built once per
// library text; immutable, so any number of threads may check with one index
// at once.
class SensitiveIndex
{
public:
    explicit SensitiveIndex(const QString &library = QString());

    struct Line
    {
        qsizetype start;
        qsizetype length;
        int word;         // id in the automaton
        bool meetsMarkup; // may overlap the inserted markup (it holds "<" or ">" or lies inside a mark)
    };

    const QString &library() const { return m_library; }
    const std::vector<Line> &lines() const { return m_lines; }
    const KeywordAutomaton &automaton() const { return m_automaton; }

private:
    QString m_library;
    std::vector<Line> m_lines;
    KeywordAutomaton m_automaton;
};

// The sensitive-word check.
struct SensitiveWordsResult
{
    // The number of library lines that occur (a word occurring three times
    // counts once; a line listed twice counts twice).
    int count = 0;
    // The HTML with every occurrence of each found line wrapped in
    // "<font color=red>" and "</font>", line by line in file order, each line
    // searched in the text the earlier lines already marked.
    QString marked;
};

SensitiveWordsResult checkSensitiveWords(const QString &html, const SensitiveIndex &library);

} // namespace zorvane
