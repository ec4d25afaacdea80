#include "checks/cjk_spacing.h"

#include "checks/cjk_text.h"

#include <QChar>

#include <iterator>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

enum class Side : std::uint8_t { Other, Cjk, Latin, Blank };

// Line breaks are no blanks here: they part neighbours, in HTML source too,
// where the author set them.
bool isBlank(char32_t c)
{
    return c == u' ' || c == u'\t' || c == 0xA0 || c == 0x3000;
}

} // namespace

CjkSpacing cjkSpacingFromNumber(int stored)
{
    return stored == 1 ? CjkSpacing::OneBlank : stored == 2 ? CjkSpacing::NoBlank : CjkSpacing::Leave;
}

std::vector<SpacingFix> cjkSpacingFixes(QStringView text, TextKind kind, CjkSpacing spacing)
{
    std::vector<SpacingFix> fixes;
    if (spacing == CjkSpacing::Leave)
        return fixes;
    const VisibleText visible = visibleChars(text, kind);
    const std::vector<VisibleChar> &chars = visible.chars;
    const size_t n = chars.size();
    std::vector<Side> side(n, Side::Other);
    for (size_t i = 0; i < n; ++i) {
        const char32_t c = chars[i].code;
        if (isCjkCharacter(c))
            side[i] = Side::Cjk;
        else if (isLatinLetterOrDigit(c))
            side[i] = Side::Latin;
        else if (c == u'%' && i > 0 && chars[i].gapBefore == MarkupGap::None && isAsciiDigit(chars[i - 1].code))
            side[i] = Side::Latin;
        else if (isBlank(c))
            side[i] = Side::Blank;
    }
    const std::vector<int> address = findAddresses(chars);

    for (size_t i = 0; i < n; ++i) {
        if (side[i] != Side::Cjk && side[i] != Side::Latin)
            continue;
        // The next character that is no blank, unless a block boundary comes first.
        size_t j = i + 1;
        while (j < n && chars[j].gapBefore != MarkupGap::Block && side[j] == Side::Blank)
            ++j;
        if (j >= n || chars[j].gapBefore == MarkupGap::Block)
            continue;
        const bool pair =
            (side[i] == Side::Cjk && side[j] == Side::Latin) || (side[i] == Side::Latin && side[j] == Side::Cjk);
        const size_t blanks = j - i - 1;
        std::vector<TextEdit> edits;
        // A blank that ends an address is what ends it.
        const bool keepBlanks = spacing == CjkSpacing::NoBlank && (address[i] != 0 || address[j] != 0);
        if (!pair || (address[i] != 0 && address[i] == address[j]) || keepBlanks) {
            i = j - 1;
            continue;
        }
        if (spacing == CjkSpacing::OneBlank) {
            if (blanks == 0) {
                edits.push_back({chars[i].end, 0, u" "_s});
            } else {
                const VisibleChar &first = chars[i + 1];
                if (first.code == 0x3000)
                    edits.push_back({first.start, first.end - first.start, u" "_s});
                for (size_t k = i + 2; k < j; ++k)
                    edits.push_back({chars[k].start, chars[k].end - chars[k].start, QString()});
            }
        } else {
            for (size_t k = i + 1; k < j; ++k)
                edits.push_back({chars[k].start, chars[k].end - chars[k].start, QString()});
        }
        if (!edits.empty())
            fixes.push_back({chars[i].start, chars[j].end - chars[i].start, std::move(edits)});
        i = j - 1;
    }
    return fixes;
}

QString applyEdits(QStringView text, const std::vector<TextEdit> &edits)
{
    QString out;
    out.reserve(text.size() + qsizetype(edits.size()));
    qsizetype copied = 0;
    for (const TextEdit &edit : edits) {
        out += text.mid(copied, edit.start - copied);
        out += edit.replacement;
        copied = edit.start + edit.length;
    }
    out += text.mid(copied);
    return out;
}

QString applyCjkSpacing(const QString &text, TextKind kind, CjkSpacing spacing, int *fixed)
{
    std::vector<SpacingFix> fixes = cjkSpacingFixes(text, kind, spacing);
    if (fixed)
        *fixed = int(fixes.size());
    if (fixes.empty())
        return text;
    std::vector<TextEdit> edits;
    for (SpacingFix &fix : fixes)
        std::move(fix.edits.begin(), fix.edits.end(), std::back_inserter(edits));
    return applyEdits(text, edits);
}

} // namespace zorvane
