#include "checks/sensitive_words.h"

#include "checks/keyword_automaton.h"
#include "checks/library_index_cache.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString kMarkOpen = QStringLiteral("<font color=red>");
const QString kMarkClose = QStringLiteral("</font>");

bool containsMarkupUnit(QStringView word)
{
    static const QString markup = kMarkOpen + kMarkClose;
    for (const QChar c : word) {
        if (markup.contains(c))
            return true;
    }
    return false;
}

// The library's lines in file order, and an automaton that tells in one pass
// which of them occur in the article.
struct SensitiveIndex
{
    struct Line
    {
        qsizetype start;
        qsizetype length;
        int word;          // id in the automaton
        bool markupUnits;  // shares a character with the inserted markup
    };

    explicit SensitiveIndex(const QString &text)
        : library(text)
    {
        const QStringView view(library);
        qsizetype start = 0;
        while (start <= view.size()) {
            qsizetype end = view.indexOf(u"\r\n", start);
            if (end < 0)
                end = view.size();
            const QStringView line = view.mid(start, end - start);
            if (!line.isEmpty())
                lines.push_back({start, line.size(), automaton.addWord(line), containsMarkupUnit(line)});
            start = end + 2;
        }
        automaton.finish();
    }

    QString library;
    std::vector<Line> lines;
    KeywordAutomaton automaton;
};

LibraryIndexCache<SensitiveIndex> &sensitiveIndexCache()
{
    static LibraryIndexCache<SensitiveIndex> cache;
    return cache;
}

// The working text: the article with markup inserted into it. inserted marks
// the units that came from markup; runs lists their maximal runs.
class MarkedText
{
public:
    explicit MarkedText(const QString &html)
        : m_text(html)
        , m_inserted(size_t(html.size()), 0)
    {
    }

    const QString &text() const { return m_text; }
    bool hasInsertions() const { return !m_runs.empty(); }

    // Whether word occurs in the working text, for a word that does not occur
    // in the original article. Such an occurrence cannot lie inside the
    // article's own units alone (those runs are pieces of the article), so it
    // overlaps inserted markup: only the neighbourhood of the runs is searched.
    bool occursAcrossMarkup(QStringView word) const
    {
        const QStringView text(m_text);
        const qsizetype reach = word.size() - 1;
        qsizetype regionStart = -1;
        qsizetype regionEnd = -1;
        for (const auto &[start, end] : m_runs) {
            const qsizetype from = std::max<qsizetype>(0, start - reach);
            const qsizetype to = std::min<qsizetype>(text.size(), end + reach);
            if (regionStart >= 0 && from <= regionEnd) {
                regionEnd = std::max(regionEnd, to);
                continue;
            }
            if (regionStart >= 0 && text.mid(regionStart, regionEnd - regionStart).contains(word))
                return true;
            regionStart = from;
            regionEnd = to;
        }
        return regionStart >= 0 && text.mid(regionStart, regionEnd - regionStart).contains(word);
    }

    // Wraps every occurrence of word, left to right without overlaps, like a
    // plain replace of the word by the wrapped word.
    void wrapAll(QStringView word)
    {
        const QStringView text(m_text);
        QString out;
        std::vector<char> inserted;
        out.reserve(m_text.size() + 64);
        inserted.reserve(m_inserted.size() + 64);
        qsizetype copied = 0;
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size())) {
            out.append(text.mid(copied, at - copied));
            inserted.insert(inserted.end(), m_inserted.begin() + copied, m_inserted.begin() + at);
            out.append(kMarkOpen);
            inserted.insert(inserted.end(), size_t(kMarkOpen.size()), 1);
            out.append(word);
            inserted.insert(inserted.end(), m_inserted.begin() + at, m_inserted.begin() + at + word.size());
            out.append(kMarkClose);
            inserted.insert(inserted.end(), size_t(kMarkClose.size()), 1);
            copied = at + word.size();
        }
        out.append(text.mid(copied));
        inserted.insert(inserted.end(), m_inserted.begin() + copied, m_inserted.end());
        m_text = std::move(out);
        m_inserted = std::move(inserted);

        m_runs.clear();
        for (size_t i = 0; i < m_inserted.size();) {
            if (!m_inserted[i]) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < m_inserted.size() && m_inserted[end])
                ++end;
            m_runs.push_back({qsizetype(i), qsizetype(end)});
            i = end;
        }
    }

private:
    QString m_text;
    std::vector<char> m_inserted;
    std::vector<std::pair<qsizetype, qsizetype>> m_runs;
};

} // namespace

SensitiveWordsResult checkSensitiveWords(const QString &html, const QString &library)
{
    SensitiveWordsResult result;
    const std::shared_ptr<const SensitiveIndex> index = sensitiveIndexCache().get(library);
    std::vector<char> inArticle;
    index->automaton.findWords(html, inArticle);

    MarkedText work(html);
    const QStringView lib(index->library);
    for (const SensitiveIndex::Line &line : index->lines) {
        const QStringView word = lib.mid(line.start, line.length);
        bool found = false;
        if (inArticle[size_t(line.word)])
            found = work.text().contains(word);
        else if (line.markupUnits && work.hasInsertions())
            found = work.occursAcrossMarkup(word);
        if (found) {
            ++result.count;
            work.wrapAll(word);
        }
    }
    result.marked = work.text();
    return result;
}
