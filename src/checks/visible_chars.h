#pragma once

#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace zorvane {

// What a check is given: the editor's HTML, whose markup is no text, or a
// text that is all text (an article's visible text, a plain file).
enum class TextKind {
    Html,
    Plain,
};

// What stands in the source between a visible character and the one before.
enum class MarkupGap : std::uint8_t {
    None,   // nothing
    Inline, // only inline markup (<b>, <span>, <a>, comments…), which does not part words
    Block,  // a block boundary, a line break or a replaced element (<p>, <br>, <img>, <script>…)
};

// One visible character and where it stands in the source (UTF-16 offsets).
struct VisibleChar
{
    char32_t code; // a character reference already decoded
    qsizetype start;
    qsizetype end;
    MarkupGap gapBefore;
};

struct VisibleText
{
    std::vector<VisibleChar> chars;
    // The markup as [start, end) ranges in source order; empty for plain text.
    std::vector<std::pair<qsizetype, qsizetype>> markup;
};

// Html when the text holds a tag, a comment or a doctype ("<" and a letter,
// "/" or "!", closed by a later ">"), Plain otherwise: what the commands
// that take a file of either kind go by.
TextKind textKindOf(QStringView text);

// Reads the source character by character. HTML: tags, comments, doctypes
// and the contents of script, style and the like are markup; numeric and the
// common named character references stand for the character they name; a
// "<" that opens nothing is text. Linear in the source.
VisibleText visibleChars(QStringView source, TextKind kind);

} // namespace zorvane
