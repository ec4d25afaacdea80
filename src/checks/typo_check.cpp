#include "checks/typo_check.h"

#include "checks/library_index_cache.h"
#include "checks/suffix_automaton.h"
#include "settings/config_keys.h"
#include "text/text_utils.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString kMarkOpen = u"<font color=red>"_s;
const QString kMarkClose = u"</font>"_s;

// The library as the scan searches it (a line break added at both ends, so
// that every entry has a line feed before it) and its suffix automaton.
//
// The scan tries candidates of growing length at a text position and stops at
// the first one whose first occurrence in the library is an entry key, or at
// the first one that does not occur at all (no longer one can occur then).
// Walking the automaton along the text gives, per length, whether the
// candidate occurs and where its first occurrence ends; so each position costs
// one step per candidate length instead of one library search.
struct TypoIndex
{
    explicit TypoIndex(const QString &library) : searched(u"\r\n"_s + library + u"\r\n"_s), automaton(searched) {}

    // The length of the typo starting at text[pos], or 0. firstEnd receives
    // where the key's first occurrence ends in searched.
    qsizetype typoAt(QStringView text, qsizetype pos, qsizetype &firstEnd) const
    {
        const QChar *lib = searched.constData();
        const qsizetype libSize = searched.size();
        int state = automaton.root();
        for (qsizetype length = 1; pos + length <= text.size(); ++length) {
            state = automaton.next(state, text[pos + length - 1].unicode());
            if (state == SuffixAutomaton::None)
                return 0;
            const qsizetype end = automaton.firstEnd(state);
            const qsizetype start = end - length + 1;
            if (end + 1 < libSize && lib[end + 1] == u'|' && (start == 0 || lib[start - 1] == u'\n')) {
                firstEnd = end;
                return length;
            }
        }
        return 0;
    }

    // The second "|" field of the line holding the key that ends at firstEnd;
    // the line runs from the key's start to the next CR after the key.
    QStringView correction(qsizetype keyStart, qsizetype firstEnd) const
    {
        const QStringView lib(searched);
        const qsizetype lineEnd = lib.indexOf(u'\r', firstEnd + 1);
        const QStringView line = lib.mid(keyStart, lineEnd - keyStart);
        const qsizetype bar = line.indexOf(u'|');
        const qsizetype nextBar = line.indexOf(u'|', bar + 1);
        return nextBar < 0 ? line.mid(bar + 1) : line.mid(bar + 1, nextBar - bar - 1);
    }

    QString searched;
    SuffixAutomaton automaton;
};

LibraryIndexCache<TypoIndex> &typoIndexCache()
{
    static LibraryIndexCache<TypoIndex> cache;
    return cache;
}

} // namespace

QString markTypos(const QString &text, const QString &library, TypoMark mark, int &count)
{
    count = 0;
    if (text.isEmpty())
        return text;
    const std::shared_ptr<const TypoIndex> index = typoIndexCache().get(library);
    const QStringView view(text);
    const qsizetype n = view.size();

    // Every replacement lies before the point where the scan resumes, so the
    // text still to be scanned is always the untouched rest of the input.
    QString result;
    qsizetype copied = 0;
    for (qsizetype pos = 0; pos < n;) {
        const QChar c = view[pos];
        qsizetype firstEnd = 0;
        const qsizetype length = (c == u'\r' || c == u'\n') ? 0 : index->typoAt(view, pos, firstEnd);
        if (length == 0) {
            ++pos;
            continue;
        }
        if (result.isEmpty())
            result.reserve(n + n / 4);
        result.append(view.mid(copied, pos - copied));
        if (mark == TypoMark::Mark) {
            result.append(kMarkOpen);
            result.append(view.mid(pos, length));
            result.append(kMarkClose);
        } else {
            result.append(index->correction(firstEnd - length + 1, firstEnd));
        }
        ++count;
        pos += length;
        copied = pos;
    }
    if (count == 0)
        return text;
    result.append(view.mid(copied));
    return result;
}

TypoMark typoMarkSetting()
{
    return configFlag(Cfg::Format::CheckWordsType) ? TypoMark::Mark : TypoMark::Replace;
}

QString fixPunctuation(const QString &text)
{
    return fixPunctuation(text, typoMarkSetting());
}

QString fixPunctuation(const QString &text, TypoMark mark)
{
    static const char16_t halfWidth[] = {u',', u'.', u'!', u'?', u':'};
    static const char16_t fullWidth[] = {u'，', u'。', u'！', u'？', u'：'};
    QString result = text;
    for (size_t i = 0; i < std::size(halfWidth); ++i) {
        const QChar half(halfWidth[i]);
        if (mark == TypoMark::Mark)
            result.replace(half, QString(kMarkOpen + half + kMarkClose));
        else
            result.replace(half, QChar(fullWidth[i]));
    }
    return result;
}

} // namespace zorvane
