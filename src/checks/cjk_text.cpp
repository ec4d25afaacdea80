#include "checks/cjk_text.h"

#include <QChar>

namespace zorvane {

bool isAsciiDigit(char32_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiAlnum(char32_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || isAsciiDigit(c);
}

bool isCjkCharacter(char32_t c)
{
    if (c == 0x3007) // 〇
        return true;
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
        return QChar::isLetter(c);
    default:
        return false;
    }
}

bool isLatinLetterOrDigit(char32_t c)
{
    return isAsciiAlnum(c) || (QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin);
}

namespace {

// What may stand in an address's host, and where a path ends.
bool isHostChar(char32_t c)
{
    return isAsciiAlnum(c) || c == u'.' || c == u'-' || c == u'_' || c == u'~' || c == u'%' || c == u':' || c == u'@'
           || c == u'[' || c == u']';
}

bool endsPath(char32_t c)
{
    if (c <= 0x20 || c == 0x7F || c == u'<' || c == u'>' || c == u'"' || c == 0xA0)
        return true;
    // Full-width punctuation and blanks close an address in Chinese text.
    if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x2018 && c <= 0x201F))
        return !isCjkCharacter(c);
    return false;
}

bool isMailLocalChar(char32_t c)
{
    return isAsciiAlnum(c) || c == u'.' || c == u'_' || c == u'%' || c == u'+' || c == u'-';
}

} // namespace

std::vector<int> findAddresses(const std::vector<VisibleChar> &chars)
{
    const size_t n = chars.size();
    std::vector<int> address(n, 0);
    int next = 0;
    const auto joined = [&](size_t i) { return chars[i].gapBefore == MarkupGap::None; };
    const auto startsWith = [&](size_t at, QStringView prefix) {
        if (at + size_t(prefix.size()) > n)
            return false;
        for (qsizetype k = 0; k < prefix.size(); ++k) {
            const size_t i = at + size_t(k);
            // The prefixes are ASCII: folding ASCII case is all they need.
            const char32_t c = chars[i].code;
            const char32_t lower = (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
            if ((k > 0 && !joined(i)) || lower != prefix[k].unicode())
                return false;
        }
        return true;
    };
    for (size_t i = 0; i < n; ++i) {
        if (address[i] != 0)
            continue;
        const char32_t first = chars[i].code | 0x20; // h or w in either case
        const bool wordStart =
            (first == u'h' || first == u'w') && (i == 0 || !joined(i) || !isAsciiAlnum(chars[i - 1].code));
        size_t hostStart = 0;
        if (wordStart && startsWith(i, u"http://"))
            hostStart = i + 7;
        else if (wordStart && startsWith(i, u"https://"))
            hostStart = i + 8;
        else if (wordStart && startsWith(i, u"www."))
            hostStart = i + 4;
        if (hostStart != 0) {
            size_t end = hostStart;
            while (end < n && joined(end) && isHostChar(chars[end].code))
                ++end;
            if (end < n && joined(end)
                && (chars[end].code == u'/' || chars[end].code == u'?' || chars[end].code == u'#')) {
                while (end < n && joined(end) && !endsPath(chars[end].code))
                    ++end;
            }
            ++next;
            for (size_t k = i; k < end; ++k)
                address[k] = next;
            i = end - 1;
            continue;
        }
        if (chars[i].code == u'@' && i > 0 && joined(i) && isMailLocalChar(chars[i - 1].code) && i + 1 < n
            && joined(i + 1) && isAsciiAlnum(chars[i + 1].code)) {
            size_t start = i;
            while (start > 0 && joined(start) && isMailLocalChar(chars[start - 1].code) && address[start - 1] == 0)
                --start;
            size_t end = i + 1;
            bool dot = false;
            while (end < n && joined(end)
                   && (isAsciiAlnum(chars[end].code) || chars[end].code == u'.' || chars[end].code == u'-')) {
                dot = dot || chars[end].code == u'.';
                ++end;
            }
            if (dot) {
                ++next;
                for (size_t k = start; k < end; ++k)
                    address[k] = next;
                i = end - 1;
            }
        }
    }
    return address;
}

} // namespace zorvane
