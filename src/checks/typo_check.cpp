#include "checks/typo_check.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString kMarkOpen = u"<font color=red>"_s;
const QString kMarkClose = u"</font>"_s;

} // namespace

// The scan tries candidates of growing length at a text position and stops at
// the first one whose first occurrence in the library is an entry key, or at
// the first one that does not occur at all (no longer one can occur then).
// Walking the automaton along the text gives, per length, whether the
// candidate occurs and where its first occurrence ends; so each position costs
// one step per candidate length instead of one library search.
TypoIndex::TypoIndex(const QString &library) : m_searched(u"\r\n"_s + library + u"\r\n"_s), m_automaton(m_searched)
{}

qsizetype TypoIndex::typoAt(QStringView text, qsizetype pos, qsizetype &firstEnd) const
{
    const QChar *lib = m_searched.constData();
    const qsizetype libSize = m_searched.size();
    int state = m_automaton.root();
    for (qsizetype length = 1; pos + length <= text.size(); ++length) {
        state = m_automaton.next(state, text[pos + length - 1].unicode());
        if (state == SuffixAutomaton::None)
            return 0;
        const qsizetype end = m_automaton.firstEnd(state);
        const qsizetype start = end - length + 1;
        if (end + 1 < libSize && lib[end + 1] == u'|' && (start == 0 || lib[start - 1] == u'\n')) {
            firstEnd = end;
            return length;
        }
    }
    return 0;
}

QStringView TypoIndex::correction(qsizetype keyStart, qsizetype firstEnd) const
{
    const QStringView lib(m_searched);
    const qsizetype lineEnd = lib.indexOf(u'\r', firstEnd + 1);
    const QStringView line = lib.mid(keyStart, lineEnd - keyStart);
    const qsizetype bar = line.indexOf(u'|');
    const qsizetype nextBar = line.indexOf(u'|', bar + 1);
    return nextBar < 0 ? line.mid(bar + 1) : line.mid(bar + 1, nextBar - bar - 1);
}

std::vector<TypoFound> findTypos(QStringView text, const TypoIndex &library)
{
    // Every typo lies before the point where the scan resumes, so the text
    // still to be scanned is always the untouched rest of the input.
    std::vector<TypoFound> found;
    for (qsizetype pos = 0; pos < text.size();) {
        const QChar c = text[pos];
        qsizetype firstEnd = 0;
        const qsizetype length = (c == u'\r' || c == u'\n') ? 0 : library.typoAt(text, pos, firstEnd);
        if (length == 0) {
            ++pos;
            continue;
        }
        found.push_back({pos, length, library.correction(firstEnd - length + 1, firstEnd)});
        pos += length;
    }
    return found;
}

QString markTypos(const QString &text, const TypoIndex &library, TypoMark mark, int &count)
{
    const std::vector<TypoFound> found = findTypos(text, library);
    count = int(found.size());
    if (found.empty())
        return text;
    const QStringView view(text);
    QString result;
    result.reserve(text.size() + text.size() / 4);
    qsizetype copied = 0;
    for (const TypoFound &typo : found) {
        result.append(view.mid(copied, typo.start - copied));
        if (mark == TypoMark::Mark) {
            result.append(kMarkOpen);
            result.append(view.mid(typo.start, typo.length));
            result.append(kMarkClose);
        } else {
            result.append(typo.correction);
        }
        copied = typo.start + typo.length;
    }
    result.append(view.mid(copied));
    return result;
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
