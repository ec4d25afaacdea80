#include "checks/char_folding.h"

#include <QChar>

namespace zorvane {

CharFolding::Kind CharFolding::kindOf(char32_t c)
{
    // The pieces of one emoji or accented sign: joiners, variation selectors,
    // skin tones, tag characters, the keycap.
    if (c == 0x200D || c == 0x20E3 || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0x1F3FB && c <= 0x1F3FF)
        || (c >= 0xE0020 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF))
        return Kind::Extender;
    if (c == 0xFFFF)
        return Kind::Separator; // never a word character: the matcher's break
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
        return Kind::Extender;
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
        return Kind::Separator;
    default:
        return Kind::Word;
    }
}

char32_t CharFolding::astralFold(char32_t c) const
{
    return m_traditional.simplified(QChar::toCaseFolded(c));
}

CharFolding::CharFolding(const TraditionalChars &traditional)
    : m_traditional(traditional)
    , m_bmpFold(0x10000)
    , m_bmpKind(0x10000)
{
    for (char32_t c = 0; c < 0x10000; ++c) {
        m_bmpKind[c] = std::uint8_t(kindOf(c));
        char32_t folded = c;
        if (c >= 0xFF01 && c <= 0xFF5E)
            folded = c - 0xFEE0; // full-width ASCII
        else if (c == 0x3000)
            folded = u' ';
        m_bmpFold[c] = QChar::toCaseFolded(folded);
    }
    // Traditional characters have no width or case forms of their own, so
    // each one is its own entry.
    for (auto it = m_traditional.map().cbegin(); it != m_traditional.map().cend(); ++it) {
        if (it.key() < 0x10000)
            m_bmpFold[it.key()] = it.value();
    }
}

QString CharFolding::foldedWord(QStringView text) const
{
    QString folded;
    folded.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype step = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            step = 2;
        }
        i += step;
        if (kind(c) != Kind::Word)
            continue;
        const char32_t f = fold(c);
        if (QChar::requiresSurrogates(f)) {
            folded += QChar(QChar::highSurrogate(f));
            folded += QChar(QChar::lowSurrogate(f));
        } else {
            folded += QChar(char16_t(f));
        }
    }
    return folded;
}

} // namespace zorvane
