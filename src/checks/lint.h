#pragma once

#include "checks/cjk_spacing.h"
#include "checks/loose_sensitive.h"
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"

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

// What lint checks besides typos and punctuation, as the settings say.
struct LintOptions
{
    bool looseSensitive = false;            // Format/SensitiveLoose
    CjkSpacing spacing = CjkSpacing::Leave; // Format/CjkSpace: Leave reports no spacing
};

// The libraries lint reads: the loose index when the options ask for the
// loose check, the literal one otherwise.
struct LintLibraries
{
    const TypoIndex &typos;
    const SensitiveIndex *sensitive = nullptr;
    const LooseSensitiveIndex *loose = nullptr;
};

// Every finding of the rules over a text (an article's visible text),
// which stays as it is:
// - typo: what markTypos finds, with its correct form;
// - sensitive: each occurrence of a library word (taken left to right
//   without overlaps, as marking would), or each disguised span of the loose
//   check;
// - punctuation: see punctuationRanges;
// - spacing: each pair of neighbours whose blanks differ from the chosen
//   spacing, with the pair as it would be.
std::vector<LintFinding> lintText(const QString &text, const LintLibraries &libraries, const LintOptions &options);

// "FILE:LINE:COLUMN: RULE: TEXT -> SUGGESTION", line breaks in TEXT and
// SUGGESTION written as \n and \r.
QString lintLine(const QString &file, const LintFinding &finding);
// One JSON object on one line with rule, line, column, offset, length, text
// and suggestion, in that order.
QString lintJson(const LintFinding &finding);

} // namespace zorvane
