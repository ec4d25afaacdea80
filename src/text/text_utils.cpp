#include "text/text_utils.h"

#include "text/between.h"
#include "text/gbk.h"
#include "text/system_regex.h"

#include <QStringList>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace zorvane {

QString regexReplace(const QString &text, const QString &pattern, const QString &replacement)
{
    return SystemRegex(pattern).replace(text, replacement);
}

QString regexConcat(const QString &text, const QString &pattern)
{
    return SystemRegex(pattern).matches(text).join(QString());
}

QString collectSpans(const QString &text)
{
    return SystemRegex(u"<span>.+?\\</span>"_s).matches(text).join(u"|||"_s);
}

QString collectTextCells(const QString &text)
{
    const QString marker = u"<td class=\"text\">"_s;
    QString result;
    QString rest = text;
    for (qsizetype at = rest.indexOf(marker); at >= 0; at = rest.indexOf(marker)) {
        const QString cell = Between(rest, marker, u"</td>"_s);
        if (!result.isEmpty())
            result += u"|||"_s;
        result += cell;
        // Ten characters on lands inside the marker, so the next search finds
        // the following cell.
        rest = rest.mid(at + 10);
    }
    return result;
}

QString lowercaseTagNames(const QString &html)
{
    QString working = html;
    const QStringList tags = SystemRegex(u"<.+?\\>"_s).matches(html);
    for (const QString &tag : tags) {
        const qsizetype space = tag.indexOf(u' ');
        const QString lowered =
            space < 0 ? tag.toLower() : tag.left(space + 1).toLower() + QStringView(tag).mid(space + 1);
        if (lowered != tag)
            working.replace(tag, lowered);
    }
    return working;
}

QString stripHtml(const QString &html)
{
    QString text = regexReplace(html, u"<style.*?>[^\\f]*?</style>"_s, QString());
    text = regexReplace(text, u"<script.*?>[^\\f]*?</script>"_s, QString());
    text = regexReplace(text, u"<!--[^\\f]*?-->"_s, QString());
    return regexReplace(text, u"<[^>]*>"_s, QString());
}

QString htmlToParagraphs(const QString &html)
{
    const QString text = stripHtml(html);
    if (!text.contains(u"\r\n"_s))
        return text;
    QString out;
    const QStringList lines = text.split(u"\r\n"_s);
    for (const QString &line : lines) {
        bool blank = true;
        for (QChar c : line) {
            if (c != u' ') {
                blank = false;
                break;
            }
        }
        if (!blank)
            out += u"<p>"_s + line + u"</p>"_s;
    }
    return out;
}

namespace {

// The white space YTrim removes: the regex dialect's "\s" and the
// ideographic space, never the no-break space.
bool isTrimmedSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\f' || u == u'\v' || u == 0x3000;
}

} // namespace

// The same as replacing "(^[\s　]*)|([\s　]*$)" by nothing, without the regex
// engine: the formatting pipeline trims every line of an article.
QString YTrim(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmedSpace(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString fullToHalfWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A))
            c = QChar(char16_t(u - 0xFEE0));
    }
    return out;
}

int FindStrNums(const QString &text, const QString &key)
{
    if (text.isEmpty() || key.isEmpty())
        return 0;
    int count = 0;
    // The next search starts one character after the end of the previous
    // occurrence, so "abab" holds one "ab".
    for (qsizetype at = text.indexOf(key); at >= 0; at = text.indexOf(key, at + key.size() + 1))
        ++count;
    return count;
}

QString FormatUrl(const QString &url)
{
    const QString lower = url.toLower();
    if (lower.startsWith(u"http://"_s) || lower.startsWith(u"https://"_s) || lower.startsWith(u"ftp://"_s))
        return url;
    return u"http://"_s + url;
}

QString htmlDecode(const QString &text)
{
    QString out = text;
    out.replace(u"&amp;"_s, u"&"_s);
    out.replace(u"&gt;"_s, u">"_s);
    out.replace(u"&lt;"_s, u"<"_s);
    out.replace(u"&nbsp;"_s, u" "_s);
    out.replace(u"&quot;"_s, u"\""_s);
    return out;
}

namespace {

void appendPercent(QString &out, quint8 byte)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    out += u'%';
    out += QLatin1Char(hex[byte >> 4]);
    out += QLatin1Char(hex[byte & 0xF]);
}

} // namespace

QString urlEncodeGbk(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            len = 2;
        const QStringView ch = QStringView(text).mid(i, len);
        const QByteArray bytes = toGbk(ch);
        if (bytes.size() >= 2) {
            for (char b : bytes)
                appendPercent(out, quint8(b));
        } else {
            out += ch;
        }
        i += len - 1;
    }
    out.replace(u' ', u"%20"_s);
    return out;
}

QString urlEncodeUtf8(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'*' || c == u'-'
            || c == u'.' || c == u'@' || c == u'_') {
            out += QChar(c);
        } else if (c == u' ') {
            out += u'+';
        } else if (c < 128) {
            appendPercent(out, quint8(c));
        } else {
            qsizetype len = 1;
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                len = 2;
            const QByteArray bytes = QStringView(text).mid(i, len).toUtf8();
            for (char b : bytes)
                appendPercent(out, quint8(b));
            i += len - 1;
        }
    }
    return out;
}

QString decodeUtf8(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const quint8 lead = quint8(bytes.at(i));
        const int length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
        if (i + length > n) {
            out += u'?';
            break;
        }
        if (length == 1) {
            // A continuation byte with no lead is not a character of any page.
            out += lead < 0x80 ? QChar(char16_t(lead)) : QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        static constexpr quint8 leadMask[] = {0, 0, 0x1F, 0x0F, 0x07, 0x03, 0x01};
        quint32 code = lead & leadMask[length];
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (quint8(bytes.at(i + k)) & 0x3F);
        i += length;
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (code > 0xFFFF) {
            // Characters beyond the basic plane (emoji, rare ideographs) are
            // kept as surrogate pairs rather than dropped.
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(char16_t(code));
        }
    }
    return out;
}

QByteArray toByteString(const QString &text)
{
    return toGbk(text);
}

QString removeBetween(const QString &text, const QString &startMarker, const QString &endMarker)
{
    if (text.isEmpty())
        return {};
    return regexReplace(text, startMarker + u"[^\\f]*?"_s + endMarker, QString());
}

int toInt(const QString &text)
{
    static const QRegularExpression number(
        u"^[ \\t]*[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?[ \\t]*\\z"_s);
    if (text.isEmpty() || !number.match(text).hasMatch())
        return 0;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(value))
        return 0;
    const double floored = std::floor(value);
    if (floored >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (floored <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(floored);
}

} // namespace zorvane
