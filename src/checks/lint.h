#pragma once

#include <QString>

#include <vector>

namespace zorvane {

// One thing the lint command reports, placed in the text it checked. Lines,
// columns, offsets and lengths count characters (Unicode code points), lines
// and columns from 1; a line ends at LF, CR LF or CR.
struct LintFinding
{
    QString rule; // "typo", "sensitive", "punctuation" or "spacing"
    int line = 0;
    int column = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
    QString text;
    QString suggestion; // what would stand instead; empty for a sensitive word, which is to go

    bool operator==(const LintFinding &) const = default;
};

// A finding as a rule makes it: a UTF-16 range of the text.
struct LintRange
{
    QString rule;
    qsizetype start;
    qsizetype length;
    QString suggestion;
};

// Places the ranges in the text: lines, columns and offsets in characters,
// the text of each range. Ordered by place, the shorter first; ties keep the
// order given.
std::vector<LintFinding> placeFindings(const QString &text, const std::vector<LintRange> &ranges);

// Half-width , . ! ? : written after a CJK character (blanks between
// allowed), outside addresses; an ellipsis of dots is left alone. The
// suggestion is the full-width mark.
std::vector<LintRange> punctuationRanges(const QString &text);

// "FILE:LINE:COLUMN: RULE: TEXT -> SUGGESTION", line breaks in TEXT and
// SUGGESTION written as \n and \r.
QString lintLine(const QString &file, const LintFinding &finding);
// One JSON object on one line with rule, line, column, offset, length, text
// and suggestion, in that order.
QString lintJson(const LintFinding &finding);

} // namespace zorvane
