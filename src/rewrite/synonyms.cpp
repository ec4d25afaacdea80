#include "rewrite/synonyms.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The end of the markup that starts at i (a tag, a comment, a character
// reference), or i when the text at i is plain text. Quoted attribute values
// may hold ">" (browsers write them so), so quotes are skipped whole.
qsizetype markupEnd(QStringView html, qsizetype i)
{
    const qsizetype n = html.size();
    if (html[i] == u'&') {
        qsizetype j = i + 1;
        while (j < n && j - i <= 32 && (html[j].isLetterOrNumber() || html[j] == u'#'))
            ++j;
        return j < n && html[j] == u';' && j > i + 1 ? j + 1 : i;
    }
    if (html[i] != u'<' || i + 1 >= n)
        return i;
    const QChar next = html[i + 1];
    if (html.mid(i).startsWith(u"<!--")) {
        const qsizetype close = html.indexOf(u"-->", i + 4);
        return close < 0 ? n : close + 3;
    }
    if (!isAsciiLetter(next) && next != u'/' && next != u'!' && next != u'?')
        return i;
    qsizetype j = i + 1;
    while (j < n && html[j] != u'>') {
        if (html[j] == u'"' || html[j] == u'\'') {
            const qsizetype close = html.indexOf(html[j], j + 1);
            if (close < 0)
                return n;
            j = close;
        }
        ++j;
    }
    return j < n ? j + 1 : n;
}

// After the start tag html[tagStart, tagEnd) of a script or a style sheet,
// the position of its end tag (or the end of the article); else tagEnd.
qsizetype rawTextEnd(QStringView html, qsizetype tagStart, qsizetype tagEnd)
{
    for (const QStringView name : {u"script", u"style"}) {
        const QStringView tag = html.mid(tagStart + 1, tagEnd - tagStart - 1);
        if (!tag.startsWith(name, Qt::CaseInsensitive))
            continue;
        if (tag.size() > name.size() && isAsciiLetter(tag[name.size()]))
            continue;
        const QString endTag = u"</"_s + name;
        const qsizetype close = html.indexOf(endTag, tagEnd, Qt::CaseInsensitive);
        return close < 0 ? html.size() : close;
    }
    return tagEnd;
}

// Exchanges the library words of one stretch of text that stand as words.
void replaceWholeWordsIn(QStringView text, const SynonymIndex &library, const WordSegmenter &segmenter, QString &out)
{
    const std::vector<qsizetype> bounds = segmenter.boundaries(text);
    const qsizetype longest = library.longestWord();
    qsizetype copied = 0;
    for (std::size_t b = 0; b < bounds.size(); ++b) {
        const qsizetype start = bounds[b];
        if (start < copied)
            continue;
        // The ends within reach, longest first.
        std::size_t last = b + 1;
        while (last < bounds.size() && bounds[last] - start <= longest)
            ++last;
        for (std::size_t e = last; e-- > b + 1;) {
            const std::optional<QStringView> exchange =
                library.wholeWordReplacement(text.mid(start, bounds[e] - start));
            if (!exchange)
                continue;
            out += text.mid(copied, start - copied);
            out += *exchange;
            copied = bounds[e];
            break;
        }
    }
    out += text.mid(copied);
}

} // namespace

QString replaceSynonyms(const QString &text, const SynonymIndex &library)
{
    if (text.isEmpty())
        return text;
    return library.replace(text);
}

QString replaceSynonyms(const QString &text, const SynonymIndex &library, const SynonymOptions &options,
                        const WordSegmenter &segmenter)
{
    if (!options.wholeWords)
        return replaceSynonyms(text, library);
    if (text.isEmpty() || library.longestWord() == 0 || !segmenter.isLoaded())
        return text;
    const QStringView html(text);
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < html.size()) {
        qsizetype end = markupEnd(html, i);
        if (end == i) {
            ++i;
            continue;
        }
        if (html[i] == u'<')
            end = rawTextEnd(html, i, end);
        replaceWholeWordsIn(html.mid(runStart, i - runStart), library, segmenter, out);
        out += html.mid(i, end - i);
        runStart = i = end;
    }
    replaceWholeWordsIn(html.mid(runStart), library, segmenter, out);
    return out;
}

bool isLibraryBoundary(QStringView c)
{
    return c.isEmpty() || c == u"\r" || c == u"\n" || c == u"|";
}

} // namespace zorvane
