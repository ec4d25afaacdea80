#include "checks/visible_chars.h"

#include <QString>

#include <algorithm>
#include <array>

namespace zorvane {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

char16_t asciiLower(QChar c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c.unicode() + 32) : c.unicode();
}

bool nameIs(QStringView name, QStringView lower)
{
    if (name.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (asciiLower(name[i]) != lower[i].unicode())
            return false;
    }
    return true;
}

// Elements that sit inside a line of text without parting it.
bool isInlineElement(QStringView name)
{
    static constexpr std::array<QStringView, 30> inlineNames{
        u"a",    u"abbr",  u"b",    u"bdi",    u"bdo",    u"big", u"cite",  u"code", u"data", u"del",
        u"dfn",  u"em",    u"font", u"i",      u"ins",    u"kbd", u"label", u"mark", u"q",    u"s",
        u"samp", u"small", u"span", u"strike", u"strong", u"sub", u"sup",   u"time", u"tt",   u"u"};
    if (nameIs(name, u"var") || nameIs(name, u"wbr"))
        return true;
    return std::any_of(inlineNames.begin(), inlineNames.end(), [&](QStringView n) { return nameIs(name, n); });
}

// Elements whose contents are not text of the article.
bool isRawTextElement(QStringView name)
{
    static constexpr std::array<QStringView, 9> rawNames{u"script", u"style",   u"textarea", u"title",   u"xmp",
                                                         u"iframe", u"noembed", u"noframes", u"noscript"};
    return std::any_of(rawNames.begin(), rawNames.end(), [&](QStringView n) { return nameIs(name, n); });
}

struct NamedReference
{
    QStringView name;
    char32_t code;
};

// The references pasted articles use; anything else stays as written.
constexpr NamedReference kNamedReferences[] = {
    {u"NoBreak", 0x2060}, {u"ZeroWidthSpace", 0x200B},
    {u"amp", u'&'},       {u"apos", u'\''},
    {u"bdquo", 0x201E},   {u"bull", 0x2022},
    {u"cent", 0xA2},      {u"clubs", 0x2663},
    {u"copy", 0xA9},      {u"darr", 0x2193},
    {u"deg", 0xB0},       {u"diams", 0x2666},
    {u"divide", 0xF7},    {u"emsp", 0x2003},
    {u"ensp", 0x2002},    {u"euro", 0x20AC},
    {u"gt", u'>'},        {u"hearts", 0x2665},
    {u"hellip", 0x2026},  {u"iexcl", 0xA1},
    {u"iquest", 0xBF},    {u"laquo", 0xAB},
    {u"larr", 0x2190},    {u"ldquo", 0x201C},
    {u"lowast", 0x2217},  {u"loz", 0x25CA},
    {u"lrm", 0x200E},     {u"lsaquo", 0x2039},
    {u"lsquo", 0x2018},   {u"lt", u'<'},
    {u"mdash", 0x2014},   {u"middot", 0xB7},
    {u"minus", 0x2212},   {u"nbsp", 0xA0},
    {u"ndash", 0x2013},   {u"para", 0xB6},
    {u"permil", 0x2030},  {u"plusmn", 0xB1},
    {u"pound", 0xA3},     {u"quot", u'"'},
    {u"raquo", 0xBB},     {u"rarr", 0x2192},
    {u"rdquo", 0x201D},   {u"reg", 0xAE},
    {u"rlm", 0x200F},     {u"rsaquo", 0x203A},
    {u"rsquo", 0x2019},   {u"sbquo", 0x201A},
    {u"sect", 0xA7},      {u"shy", 0xAD},
    {u"spades", 0x2660},  {u"star", 0x2606},
    {u"thinsp", 0x2009},  {u"times", 0xD7},
    {u"trade", 0x2122},   {u"uarr", 0x2191},
    {u"yen", 0xA5},       {u"zwj", 0x200D},
};

// A character reference at source[at] ("&…;"): its character and its end, or
// false when it is none.
bool readReference(QStringView source, qsizetype at, char32_t &code, qsizetype &end)
{
    const qsizetype n = source.size();
    qsizetype i = at + 1;
    if (i < n && source[i] == u'#') {
        ++i;
        const bool hex = i < n && (source[i] == u'x' || source[i] == u'X');
        if (hex)
            ++i;
        const qsizetype digitsStart = i;
        quint64 value = 0;
        while (i < n && i - digitsStart < 8) {
            const char16_t c = source[i].unicode();
            int digit = -1;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (hex && c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (hex && c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 10) + quint64(digit);
            ++i;
        }
        if (i == digitsStart || i >= n || source[i] != u';')
            return false;
        const bool valid = value > 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
        code = valid ? char32_t(value) : char32_t(0xFFFD);
        end = i + 1;
        return true;
    }
    const qsizetype nameStart = i;
    while (i < n && i - nameStart < 16 && isAsciiAlnum(source[i]))
        ++i;
    if (i == nameStart || i >= n || source[i] != u';')
        return false;
    const QStringView name = source.mid(nameStart, i - nameStart);
    const auto found = std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                                        [](const NamedReference &r, QStringView key) { return r.name < key; });
    if (found == std::end(kNamedReferences) || found->name != name)
        return false;
    code = found->code;
    end = i + 1;
    return true;
}

// Where the markup that starts with "<" at source[at] ends, and what kind of
// gap it makes; false when the "<" opens nothing and is text.
bool readMarkup(QStringView source, qsizetype at, qsizetype &end, MarkupGap &gap)
{
    const qsizetype n = source.size();
    const auto findFrom = [&](QStringView what, qsizetype from) {
        const qsizetype found = source.indexOf(what, from);
        return found < 0 ? n : found + what.size();
    };
    if (at + 1 >= n)
        return false;
    const QChar next = source[at + 1];
    if (next == u'!') {
        gap = MarkupGap::Inline;
        end = source.mid(at + 2, 2) == u"--" ? findFrom(u"-->", at + 4) : findFrom(u">", at + 2);
        return true;
    }
    if (next == u'?') {
        gap = MarkupGap::Inline;
        end = findFrom(u">", at + 2);
        return true;
    }
    const bool closing = next == u'/';
    const qsizetype nameStart = at + (closing ? 2 : 1);
    if (nameStart >= n || !isAsciiLetter(source[nameStart]))
        return false;
    qsizetype i = nameStart;
    while (i < n && (isAsciiAlnum(source[i]) || source[i] == u'-'))
        ++i;
    const QStringView name = source.mid(nameStart, i - nameStart);
    // To the closing ">", stepping over quoted attribute values.
    while (i < n && source[i] != u'>') {
        if (source[i] == u'=') {
            ++i;
            while (i < n && (source[i] == u' ' || source[i] == u'\t' || source[i] == u'\n' || source[i] == u'\r'))
                ++i;
            if (i < n && (source[i] == u'"' || source[i] == u'\'')) {
                const qsizetype close = source.indexOf(source[i], i + 1);
                i = close < 0 ? n : close + 1;
            }
            continue;
        }
        ++i;
    }
    end = i < n ? i + 1 : n;
    gap = isInlineElement(name) ? MarkupGap::Inline : MarkupGap::Block;
    if (!closing && isRawTextElement(name)) {
        // Everything up to the element's end tag belongs to it.
        const QString lowerName = name.toString().toLower();
        for (qsizetype k = source.indexOf(u"</", end); k >= 0; k = source.indexOf(u"</", k + 2)) {
            const QStringView after = source.mid(k + 2, name.size());
            const qsizetype afterName = k + 2 + name.size();
            if (nameIs(after, lowerName) && (afterName >= n || !isAsciiAlnum(source[afterName]))) {
                end = findFrom(u">", afterName);
                return true;
            }
        }
        end = n;
    }
    return true;
}

} // namespace

TextKind textKindOf(QStringView text)
{
    for (qsizetype at = text.indexOf(u'<'); at >= 0 && at + 1 < text.size(); at = text.indexOf(u'<', at + 1)) {
        const QChar next = text[at + 1];
        if ((isAsciiLetter(next) || next == u'/' || next == u'!') && text.indexOf(u'>', at + 2) >= 0)
            return TextKind::Html;
    }
    return TextKind::Plain;
}

VisibleText visibleChars(QStringView source, TextKind kind)
{
    VisibleText text;
    const qsizetype n = source.size();
    text.chars.reserve(size_t(n));
    MarkupGap pending = MarkupGap::None;
    for (qsizetype i = 0; i < n;) {
        const QChar c = source[i];
        if (kind == TextKind::Html && c == u'<') {
            qsizetype end = 0;
            MarkupGap gap = MarkupGap::None;
            if (readMarkup(source, i, end, gap)) {
                text.markup.emplace_back(i, end);
                pending = std::max(pending, gap);
                i = end;
                continue;
            }
        }
        char32_t code = c.unicode();
        qsizetype end = i + 1;
        if (kind == TextKind::Html && c == u'&') {
            if (!readReference(source, i, code, end)) {
                code = c.unicode();
                end = i + 1;
            }
        } else if (c.isHighSurrogate() && i + 1 < n && source[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, source[i + 1]);
            end = i + 2;
        }
        text.chars.push_back({code, i, end, pending});
        pending = MarkupGap::None;
        i = end;
    }
    return text;
}

} // namespace zorvane
