#pragma once

#include "checks/visible_chars.h"

#include <QString>

#include <vector>

namespace zorvane {

// What happens to the blanks between Chinese and Latin text, the choice of
// Format/CjkSpace by its stored numbers.
enum class CjkSpacing {
    Leave = 0,    // the text stays as it is
    OneBlank = 1, // exactly one blank between a CJK character and a Latin letter or digit
    NoBlank = 2,  // none
};

// The choice stored as a number; anything but 1 and 2 leaves the text alone.
CjkSpacing cjkSpacingFromNumber(int stored);

// One change to a text: [start, start + length) (UTF-16 offsets) becomes
// replacement.
struct TextEdit
{
    qsizetype start;
    qsizetype length;
    QString replacement;

    bool operator==(const TextEdit &) const = default;
};

// One pair of neighbours whose spacing is to change: [start, start + length)
// runs from the first of them to the second, edits are what changes.
struct SpacingFix
{
    qsizetype start;
    qsizetype length;
    std::vector<TextEdit> edits;
};

// The pairs whose spacing differs from the chosen one, in text order. A CJK
// character (Han, kana, bopomofo) and a Latin letter or digit (a "%" after a
// digit counts with it) are neighbours when only blanks (space, tab,
// no-break space, ideographic space) and inline markup stand between them;
// a line break or a block boundary parts them. Punctuation is no neighbour,
// so nothing changes beside full-width punctuation. Nothing changes inside
// markup or inside an address (http://, https://, www., e-mail): a path may
// hold CJK characters up to the next blank, so NoBlank leaves the blanks
// beside an address alone. OneBlank keeps the first blank of a pair (an
// ideographic space becomes a space) and drops the others.
std::vector<SpacingFix> cjkSpacingFixes(QStringView text, TextKind kind, CjkSpacing spacing);

// The text with the edits made (edits in text order, not overlapping).
QString applyEdits(QStringView text, const std::vector<TextEdit> &edits);

// The text with every fix made; *fixed, when given, is how many pairs were.
QString applyCjkSpacing(const QString &text, TextKind kind, CjkSpacing spacing, int *fixed = nullptr);

} // namespace zorvane
