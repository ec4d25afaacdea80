#include "checks/sensitive_words.h"

#include <QHash>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString kMarkOpen = u"<font color=red>"_s;
const QString kMarkClose = u"</font>"_s;

bool containsMarkupUnit(QStringView word)
{
    const QStringView markup = u"<font color=red></font>";
    for (const QChar c : word) {
        if (markup.contains(c))
            return true;
    }
    return false;
}

// The working text, kept as the article plus what has been inserted into it:
// inserts[i] is the markup standing before article unit i (inserts[n] at the
// end). Wrapping a word only ever inserts markup, so the article's own units
// stay where they are and every change is an insertion into one of these.
class MarkedText
{
public:
    explicit MarkedText(QStringView html)
        : m_html(html)
        , m_inserts(size_t(html.size()) + 1)
        , m_hasInsert(size_t(html.size()) + 1, 0)
    {}

    bool hasInsertions() const { return !m_nonEmpty.empty(); }

    // Wraps a word that shares no unit with the markup. Its occurrences in
    // the working text are exactly its occurrences in the article with no
    // markup inserted inside them; they are taken left to right without
    // overlaps, as a plain replace would. False when there is none.
    bool wrapArticleOccurrences(const int *starts, const int *startsEnd, qsizetype length)
    {
        std::vector<qsizetype> chosen;
        qsizetype lastEnd = 0;
        for (const int *s = starts; s != startsEnd; ++s) {
            const qsizetype start = *s;
            if (start < lastEnd)
                continue;
            bool split = false;
            for (qsizetype i = start + 1; i < start + length && !split; ++i)
                split = m_hasInsert[size_t(i)];
            if (split)
                continue; // earlier markup stands inside this occurrence
            chosen.push_back(start);
            lastEnd = start + length;
        }
        for (const qsizetype start : chosen) {
            insertAt({start, m_inserts[size_t(start)].size()}, kMarkOpen);
            insertAt({start + length, 0}, kMarkClose);
        }
        return !chosen.empty();
    }

    // Wraps any other word. Unless it occurs in the article itself, each of
    // its occurrences overlaps inserted markup (the article's own runs are
    // pieces of the article), so only the neighbourhood of the insertions is
    // searched; otherwise the whole working text is. False when there is none.
    bool wrapOccurrences(QStringView word, bool inArticle)
    {
        const qsizetype n = m_html.size();
        std::vector<std::pair<Gap, Gap>> found;
        if (inArticle) {
            searchWhole(word, found);
        } else if (!word.contains(u'<') && !word.contains(u'>')) {
            // Every insertion begins with "<" and ends with ">", so a word
            // without either that overlaps one lies wholly inside it.
            bool anywhere = false;
            for (auto it = m_contents.cbegin(); it != m_contents.cend() && !anywhere; ++it)
                anywhere = it.key().contains(word);
            if (!anywhere)
                return false;
            for (const qsizetype i : m_nonEmpty) {
                if (m_inserts[size_t(i)].contains(word))
                    searchWindow(i, i, word, found);
            }
        } else {
            const qsizetype reach = word.size() - 1;
            qsizetype from = -1;
            qsizetype to = -1;
            for (const qsizetype i : m_nonEmpty) {
                const qsizetype a = std::max<qsizetype>(0, i - reach);
                const qsizetype b = std::min(n, i + reach);
                if (from >= 0 && a <= to) {
                    to = std::max(to, b);
                    continue;
                }
                if (from >= 0)
                    searchWindow(from, to, word, found);
                from = a;
                to = b;
            }
            if (from >= 0)
                searchWindow(from, to, word, found);
        }
        // Last first, so that the gaps still to be filled keep their offsets;
        // at a shared gap the earlier close lands before the later open.
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            insertAt(it->second, kMarkClose);
            insertAt(it->first, kMarkOpen);
        }
        return !found.empty();
    }

    QString text() const
    {
        qsizetype size = m_html.size();
        for (const qsizetype i : m_nonEmpty)
            size += m_inserts[size_t(i)].size();
        QString out;
        out.reserve(size);
        qsizetype copied = 0;
        for (const qsizetype i : m_nonEmpty) {
            out.append(m_html.mid(copied, i - copied));
            out.append(m_inserts[size_t(i)]);
            copied = i;
        }
        out.append(m_html.mid(copied));
        return out;
    }

private:
    // A place between two units of the working text: inside inserts[index],
    // before its unit offset.
    struct Gap
    {
        qsizetype index;
        qsizetype offset;
    };

    void insertAt(Gap gap, const QString &markup)
    {
        QString &insert = m_inserts[size_t(gap.index)];
        if (!insert.isEmpty()) {
            const auto it = m_contents.find(insert);
            if (--it.value() == 0)
                m_contents.erase(it);
        }
        insert.insert(gap.offset, markup);
        ++m_contents[insert];
        if (!m_hasInsert[size_t(gap.index)]) {
            m_hasInsert[size_t(gap.index)] = 1;
            m_nonEmpty.insert(gap.index);
        }
    }

    // Searches the whole working text, left to right without overlaps.
    void searchWhole(QStringView word, std::vector<std::pair<Gap, Gap>> &found) const
    {
        const QString whole = text();
        qsizetype at = whole.indexOf(word);
        if (at < 0)
            return;
        // Where each non-empty insert starts in the working text.
        std::vector<std::pair<qsizetype, qsizetype>> starts; // (position, index)
        qsizetype shift = 0;
        for (const qsizetype i : m_nonEmpty) {
            starts.emplace_back(i + shift, i);
            shift += m_inserts[size_t(i)].size();
        }
        const auto gapBefore = [&](qsizetype position) -> Gap {
            auto it = std::upper_bound(starts.begin(), starts.end(), std::pair(position, qsizetype(m_html.size() + 1)));
            if (it == starts.begin())
                return {position, 0}; // an article unit before any insert
            --it;
            const auto [start, index] = *it;
            const qsizetype size = m_inserts[size_t(index)].size();
            if (position < start + size)
                return {index, position - start};
            const qsizetype unit = index + (position - start - size);
            return {unit, unit == index ? size : 0};
        };
        for (; at >= 0; at = whole.indexOf(word, at + word.size()))
            found.emplace_back(gapBefore(at), gapBefore(at + word.size()));
    }

    // Searches the working text from inserts[from] to inserts[to] (article
    // units from .. to - 1 between them), left to right without overlaps.
    void searchWindow(qsizetype from, qsizetype to, QStringView word, std::vector<std::pair<Gap, Gap>> &found) const
    {
        QString window;
        std::vector<Gap> gapBefore; // the gap before each unit of the window
        for (qsizetype i = from; i <= to; ++i) {
            const QString &insert = m_inserts[size_t(i)];
            for (qsizetype k = 0; k < insert.size(); ++k)
                gapBefore.push_back({i, k});
            window.append(insert);
            if (i < to) {
                gapBefore.push_back({i, insert.size()});
                window.append(m_html[i]);
            }
        }
        gapBefore.push_back({to, m_inserts[size_t(to)].size()});
        for (qsizetype at = window.indexOf(word); at >= 0; at = window.indexOf(word, at + word.size()))
            found.emplace_back(gapBefore[size_t(at)], gapBefore[size_t(at + word.size())]);
    }

    QStringView m_html;
    std::vector<QString> m_inserts;
    std::vector<char> m_hasInsert;  // inserts[i] is not empty
    std::set<qsizetype> m_nonEmpty; // the same, in order
    QHash<QString, int> m_contents; // the distinct non-empty inserts
};

} // namespace

SensitiveIndex::SensitiveIndex(const QString &library) : m_library(library)
{
    const QStringView view(m_library);
    qsizetype start = 0;
    while (start <= view.size()) {
        qsizetype end = view.indexOf(u"\r\n", start);
        if (end < 0)
            end = view.size();
        const QStringView line = view.mid(start, end - start);
        if (!line.isEmpty())
            m_lines.push_back({start, line.size(), m_automaton.addWord(line), containsMarkupUnit(line)});
        start = end + 2;
    }
    m_automaton.finish();
}

SensitiveWordsResult checkSensitiveWords(const QString &html, const SensitiveIndex &library)
{
    SensitiveWordsResult result;
    const KeywordAutomaton::Occurrences inArticle = library.automaton().findAll(html);

    MarkedText work(html);
    const QStringView lib(library.library());
    for (const SensitiveIndex::Line &line : library.lines()) {
        const int *starts = inArticle.starts.data() + inArticle.first[size_t(line.word)];
        const int *startsEnd = inArticle.starts.data() + inArticle.first[size_t(line.word) + 1];
        bool found = false;
        if (!line.markupUnits)
            found = starts != startsEnd && work.wrapArticleOccurrences(starts, startsEnd, line.length);
        else if (starts != startsEnd || work.hasInsertions())
            found = work.wrapOccurrences(lib.mid(line.start, line.length), starts != startsEnd);
        if (found)
            ++result.count;
    }
    result.marked = work.text();
    return result;
}

} // namespace zorvane
