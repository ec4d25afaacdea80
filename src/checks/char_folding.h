#pragma once

#include "checks/traditional_chars.h"

#include <QStringView>

#include <cstdint>
#include <vector>

namespace zorvane {

// How the loose checks read a character: what it counts as, and the one form
// that all its variants share (full-width and half-width, upper and lower
// case, traditional and simplified).
class CharFolding
{
public:
    enum class Kind : std::uint8_t {
        Word,      // a letter, digit or ideograph: part of a word
        Separator, // a blank, punctuation mark, symbol (emoji included), zero-width or control character
        Extender,  // a combining mark, joiner or variation selector: part of the separator before it
    };

    explicit CharFolding(const TraditionalChars &traditional);

    Kind kind(char32_t c) const { return c < 0x10000 ? Kind(m_bmpKind[c]) : kindOf(c); }
    char32_t fold(char32_t c) const { return c < 0x10000 ? m_bmpFold[c] : astralFold(c); }

    // The folded word characters of text, as UTF-16, separators left out.
    QString foldedWord(QStringView text) const;

private:
    static Kind kindOf(char32_t c);
    char32_t astralFold(char32_t c) const;

    TraditionalChars m_traditional;
    std::vector<char32_t> m_bmpFold;
    std::vector<std::uint8_t> m_bmpKind;
};

} // namespace zorvane
