#include "text/text_utils.h"

#include "text/between.h"
#include "text/gbk.h"
#include "text/system_regex.h"

#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

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

bool caselessAt(QStringView text, qsizetype at, QLatin1StringView word)
{
    if (at < 0 || at + word.size() > text.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        char16_t c = text[at + i].unicode();
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        else if (c == 0x212A)
            c = u'k';
        else if (c == 0x017F)
            c = u's';
        if (c != char16_t(word[i].toLatin1()))
            return false;
    }
    return true;
}

qsizetype caselessIndexOf(QStringView text, QLatin1StringView word, qsizetype from)
{
    if (word.isEmpty())
        return from <= text.size() ? from : -1;
    bool letters = false;
    for (qsizetype i = 0; i < word.size(); ++i)
        letters = letters || (word[i].toLatin1() >= 'a' && word[i].toLatin1() <= 'z');
    // Without a letter there is no case: the plain search is the same search.
    if (!letters)
        return text.indexOf(word, from);
    const QChar first = word[0];
    if (!first.isLetter()) {
        // A first character without another case: the plain search finds the places to try.
        for (qsizetype at = text.indexOf(first, from); at >= 0; at = text.indexOf(first, at + 1)) {
            if (caselessAt(text, at, word))
                return at;
        }
        return -1;
    }
    for (qsizetype at = qMax<qsizetype>(0, from); at + word.size() <= text.size(); ++at) {
        if (caselessAt(text, at, word))
            return at;
    }
    return -1;
}

namespace {

// The first occurrence of a word at or after a position that only grows
// from one question to the next, so that every character is looked at once.
class NextOccurrence
{
public:
    NextOccurrence(QStringView text, QLatin1StringView word) : m_text(text), m_word(word) {}

    qsizetype from(qsizetype at)
    {
        if (m_searchedFrom < 0 || at < m_searchedFrom || (m_found >= 0 && m_found < at)) {
            m_searchedFrom = at;
            m_found = caselessIndexOf(m_text, m_word, at);
        }
        return m_found;
    }

private:
    QStringView m_text;
    QLatin1StringView m_word;
    qsizetype m_searchedFrom = -1;
    qsizetype m_found = -1;
};

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// A text with some of its stretches cut out, in the order they come: the
// text itself when nothing was cut.
class Cuts
{
public:
    explicit Cuts(const QString &text) : m_text(text) {}

    // Cuts [begin, end); begin is never before the end of the last cut.
    void cut(qsizetype begin, qsizetype end)
    {
        m_out += QStringView(m_text).sliced(m_kept, begin - m_kept);
        m_kept = end;
        m_cut = true;
    }
    QString result()
    {
        if (!m_cut)
            return m_text;
        m_out += QStringView(m_text).sliced(m_kept);
        return std::move(m_out);
    }

private:
    const QString &m_text;
    QString m_out;
    qsizetype m_kept = 0;
    bool m_cut = false;
};

// The text with every match of "<open.*?>[^\f]*?</open>" removed, as the
// pattern does it: from each "<open", the first ">" on that line after which
// the first "</open>" comes before any form feed ends a block there. When no
// ">" of a line will do, no later "<open" of that line will either.
QString removeElements(const QString &text, QLatin1StringView open, QLatin1StringView close)
{
    const QStringView view(text);
    NextOccurrence closeAt(view, close);
    NextOccurrence formFeedAt(view, "\f"_L1);
    NextOccurrence tagEndAt(view, ">"_L1);
    NextOccurrence crAt(view, "\r"_L1);
    NextOccurrence lfAt(view, "\n"_L1);
    Cuts cuts(text);
    qsizetype at = 0;
    while (true) {
        const qsizetype start = caselessIndexOf(view, open, at);
        if (start < 0)
            break;
        const qsizetype from = start + open.size();
        const qsizetype cr = crAt.from(from);
        const qsizetype lf = lfAt.from(from);
        const qsizetype lineEnd = qMin(cr < 0 ? view.size() : cr, lf < 0 ? view.size() : lf);
        qsizetype blockEnd = -1;
        bool noEndTag = false;
        for (qsizetype gt = tagEndAt.from(from); gt >= 0 && gt < lineEnd; gt = tagEndAt.from(gt + 1)) {
            const qsizetype end = closeAt.from(gt + 1);
            if (end < 0) {
                noEndTag = true;
                break;
            }
            const qsizetype formFeed = formFeedAt.from(gt + 1);
            if (formFeed < 0 || formFeed >= end) {
                blockEnd = end + close.size();
                break;
            }
        }
        if (noEndTag)
            break; // no end tag anywhere after this point
        if (blockEnd < 0) {
            at = lineEnd;
            continue;
        }
        cuts.cut(start, blockEnd);
        at = blockEnd;
    }
    return cuts.result();
}

// The text with every match of "<!--[^\f]*?-->" removed.
QString removeComments(const QString &text)
{
    const QStringView view(text);
    NextOccurrence closeAt(view, "-->"_L1);
    NextOccurrence formFeedAt(view, "\f"_L1);
    Cuts cuts(text);
    for (qsizetype start = view.indexOf(u"<!--"_s); start >= 0; start = view.indexOf(u"<!--"_s, start)) {
        const qsizetype end = closeAt.from(start + 4);
        if (end < 0)
            break;
        const qsizetype formFeed = formFeedAt.from(start + 4);
        if (formFeed >= 0 && formFeed < end) {
            ++start;
            continue;
        }
        cuts.cut(start, end + 3);
        start = end + 3;
    }
    return cuts.result();
}

// The text with every match of "<[^>]*>" removed.
QString removeTags(const QString &text)
{
    const QStringView view(text);
    Cuts cuts(text);
    qsizetype kept = 0;
    for (qsizetype start = view.indexOf(u'<'); start >= 0; start = view.indexOf(u'<', kept)) {
        const qsizetype end = view.indexOf(u'>', start + 1);
        if (end < 0)
            break;
        cuts.cut(start, end + 1);
        kept = end + 1;
    }
    return cuts.result();
}

// Pieces joined by "|||" as far as the rows that splitting the whole on
// "|||" would give are wanted: a piece that holds the separator itself
// becomes several rows, and a separator can straddle two pieces.
class RowCollector
{
public:
    RowCollector(qsizetype maxRows, qsizetype maxLength) : m_maxRows(maxRows), m_maxLength(maxLength) {}

    // False once no further piece can add a wanted row.
    bool add(QStringView piece)
    {
        if (full())
            return false;
        // While nothing is collected, a piece replaces it: empty pieces at
        // the start are dropped.
        if (!m_text.isEmpty())
            append(u"|||");
        if (!full())
            append(piece);
        return !full();
    }

    QString take()
    {
        if (m_maxRows > 0 && m_separators.size() >= m_maxRows)
            m_text.truncate(m_separators[m_maxRows - 1]);
        return std::move(m_text);
    }

private:
    bool full() const
    {
        return (m_maxRows > 0 && m_separators.size() >= m_maxRows)
               || (m_maxLength >= 0 && m_text.size() >= m_maxLength);
    }

    void append(QStringView part)
    {
        if (m_maxLength >= 0)
            part = part.first(qMin(part.size(), m_maxLength - m_text.size()));
        const qsizetype before = m_text.size();
        m_text += part;
        // Separators are found as a split finds them: left to right, never
        // overlapping, so only what follows the last one found is searched.
        for (qsizetype at = m_text.indexOf(u"|||"_s, qMax(m_searchFrom, before - 2)); at >= 0 && !full();
             at = m_text.indexOf(u"|||"_s, m_searchFrom)) {
            m_separators.append(at);
            m_searchFrom = at + 3;
        }
    }

    qsizetype m_maxRows;
    qsizetype m_maxLength;
    QString m_text;
    QList<qsizetype> m_separators;
    qsizetype m_searchFrom = 0;
};

} // namespace

QString collectSpans(const QString &text, qsizetype maxRows, qsizetype maxLength)
{
    // The matches of "<span>.+?\</span>": from each "<span>", at least one
    // character and then the first "</span>", all on one line.
    const QStringView view(text);
    NextOccurrence closeAt(view, "</span>"_L1);
    RowCollector rows(maxRows, maxLength > 0 ? maxLength : -1);
    qsizetype at = 0;
    while (true) {
        const qsizetype start = caselessIndexOf(view, "<span>"_L1, at);
        if (start < 0)
            break;
        const qsizetype end = closeAt.from(start + 7);
        if (end < 0)
            break;
        qsizetype k = start + 6;
        while (k < end && !isLineBreak(view[k]))
            ++k;
        if (k < end) {
            // A line break first: no "<span>" before it can match either.
            at = k;
            continue;
        }
        if (!rows.add(view.sliced(start, end + 7 - start)))
            break;
        at = end + 7;
    }
    return rows.take();
}

QString collectTextCells(const QString &text, qsizetype maxRows, qsizetype maxLength)
{
    const QString marker = u"<td class=\"text\">"_s;
    const QString cellEnd = u"</td>"_s;
    RowCollector rows(maxRows, maxLength > 0 ? maxLength : -1);
    qsizetype endAt = -2; // the first "</td>" at or after a position that only grows
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 10)) {
        // Between(rest, marker, "</td>") with the rest starting at this marker.
        const qsizetype from = at + marker.size();
        if (endAt != -1 && endAt < from)
            endAt = text.indexOf(cellEnd, from);
        const QStringView cell = endAt > from ? QStringView(text).sliced(from, endAt - from) : QStringView();
        if (!rows.add(cell))
            break;
        // Ten characters on lands inside the marker, so the next search finds
        // the following cell.
    }
    return rows.take();
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

// The patterns "<style.*?>[^\f]*?</style>", "<script.*?>[^\f]*?</script>",
// "<!--[^\f]*?-->" and "<[^>]*>" in turn, each replaced by nothing, in one
// pass over the text each.
QString stripHtml(const QString &html)
{
    QString text = removeElements(html, "<style"_L1, "</style>"_L1);
    text = removeElements(text, "<script"_L1, "</script>"_L1);
    text = removeComments(text);
    return removeTags(text);
}

QString htmlToParagraphs(const QString &html)
{
    const QString text = stripHtml(html);
    if (!text.contains(u"\r\n"_s))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const QStringView view(text);
    for (qsizetype at = 0; at <= view.size();) {
        qsizetype end = view.indexOf(u"\r\n"_s, at);
        if (end < 0)
            end = view.size();
        const QStringView line = view.sliced(at, end - at);
        at = end + 2;
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
    out.squeeze();
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

QString htmlDecode(QString text)
{
    // What replacing "&amp;", "&gt;", "&lt;", "&nbsp;" and "&quot;" one after
    // the other gives, in one pass: an "&" made of "&amp;" joins what follows
    // it into an entity of the later replacements, as "&amp;gt;" becomes ">".
    static constexpr struct
    {
        QLatin1StringView name; // after the "&"
        char16_t character;
    } later[] = {{"gt;"_L1, u'>'}, {"lt;"_L1, u'<'}, {"nbsp;"_L1, u' '}, {"quot;"_L1, u'"'}};
    const auto laterEntity = [&](QStringView rest) -> std::optional<std::pair<qsizetype, char16_t>> {
        for (const auto &entity : later) {
            if (rest.startsWith(entity.name))
                return std::pair{entity.name.size(), entity.character};
        }
        return std::nullopt;
    };
    qsizetype at = text.indexOf(u'&');
    if (at < 0)
        return text;
    // Never longer than it was: written over itself.
    QChar *out = text.data();
    qsizetype to = at;
    const QStringView view(text);
    while (at < view.size()) {
        if (view[at] != u'&') {
            out[to++] = view[at++];
            continue;
        }
        const QStringView rest = view.sliced(at + 1);
        if (rest.startsWith("amp;"_L1)) {
            at += 5;
            if (const auto entity = laterEntity(view.sliced(at))) {
                out[to++] = QChar(entity->second);
                at += entity->first;
            } else {
                out[to++] = u'&';
            }
        } else if (const auto entity = laterEntity(rest)) {
            out[to++] = QChar(entity->second);
            at += 1 + entity->first;
        } else {
            out[to++] = view[at++];
        }
    }
    text.truncate(to);
    return text;
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
    // Never more characters than bytes: written straight into place.
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *to = out.data();
    const QChar *const begin = to;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const quint8 lead = quint8(bytes.at(i));
        const int length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
        if (i + length > n) {
            *to++ = u'?';
            break;
        }
        if (length == 1) {
            // A continuation byte with no lead is not a character of any page.
            *to++ = lead < 0x80 ? QChar(char16_t(lead)) : QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        static constexpr quint8 leadMask[] = {0, 0, 0x1F, 0x0F, 0x07, 0x03, 0x01};
        quint32 code = lead & leadMask[length];
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (quint8(bytes.at(i + k)) & 0x3F);
        i += length;
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            *to++ = QChar(QChar::ReplacementCharacter);
        } else if (code > 0xFFFF) {
            // Characters beyond the basic plane (emoji, rare ideographs) are
            // kept as surrogate pairs rather than dropped.
            *to++ = QChar(QChar::highSurrogate(code));
            *to++ = QChar(QChar::lowSurrogate(code));
        } else {
            *to++ = QChar(char16_t(code));
        }
    }
    out.truncate(to - begin);
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
