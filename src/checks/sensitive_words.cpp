#include "checks/sensitive_words.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString kMarkOpen = u"<font color=red>"_s;
const QString kMarkClose = u"</font>"_s;

// Whether the word can meet inserted markup in the working text. Every
// insertion is a run of the two marks, each beginning with "<" and ending
// with ">", so a word without either can only lie wholly inside one mark;
// any other word's occurrences are its occurrences in the article.
bool canMeetMarkup(QStringView word)
{
    return word.contains(u'<') || word.contains(u'>') || QStringView(kMarkOpen).contains(word)
           || QStringView(kMarkClose).contains(word);
}

// The working text, kept as the article plus what has been inserted into it:
// the insert of gap i is the markup standing before article unit i (gap n at
// the end). Wrapping a word only ever inserts markup, so the article's own
// units stay where they are and every change is an insertion into a gap.
//
// Wrapping the article's own occurrences puts an open mark at the end of the
// insert before the word and a close mark at the start of the one after it,
// so while only those happen every insert reads "</font>" × closes followed
// by "<font color=red>" × opens: two counters, no string. A word that can
// meet the markup needs the inserts as text; they are written out then, once.
class MarkedText
{
public:
    explicit MarkedText(QStringView html) : m_html(html), m_slot(size_t(html.size()) + 1, -1) {}

    bool hasInsertions() const { return !m_inserts.empty(); }

    // Wraps a word that cannot meet the markup. Its occurrences in the
    // working text are exactly its occurrences in the article with no markup
    // inserted inside them; they are taken left to right without overlaps,
    // as a plain replace would. False when there is none.
    bool wrapArticleOccurrences(const int *starts, const int *startsEnd, qsizetype length)
    {
        bool found = false;
        qsizetype lastEnd = 0;
        for (const int *s = starts; s != startsEnd; ++s) {
            const qsizetype start = *s;
            if (start < lastEnd)
                continue;
            bool split = false;
            for (qsizetype i = start + 1; i < start + length && !split; ++i)
                split = m_slot[size_t(i)] >= 0;
            if (split)
                continue; // earlier markup stands inside this occurrence
            // Marks added here sit at the occurrence's ends, never inside a
            // later one of the same word, so the choice can go on at once.
            Insert &before = insertAt(start);
            if (m_written)
                before.text.append(kMarkOpen);
            else
                ++before.opens;
            Insert &after = insertAt(start + length);
            if (m_written)
                after.text.prepend(kMarkClose);
            else
                ++after.closes;
            lastEnd = start + length;
            found = true;
        }
        return found;
    }

    // Wraps a word that can meet the markup. Unless it occurs in the article
    // itself, each of its occurrences overlaps inserted markup (the article's
    // own runs are pieces of the article), so only the neighbourhood of the
    // insertions is searched; otherwise the whole working text is. False when
    // there is none.
    bool wrapOccurrences(QStringView word, bool inArticle)
    {
        writeOut();
        const qsizetype n = m_html.size();
        std::vector<std::pair<Gap, Gap>> found;
        if (inArticle) {
            searchWhole(word, found);
        } else if (!word.contains(u'<') && !word.contains(u'>')) {
            for (const qsizetype i : gapsInOrder()) {
                if (m_inserts[size_t(m_slot[size_t(i)])].text.contains(word))
                    searchWindow(i, i, word, found);
            }
        } else {
            const qsizetype reach = word.size() - 1;
            qsizetype from = -1;
            qsizetype to = -1;
            for (const qsizetype i : gapsInOrder()) {
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
            insertText(it->second, kMarkClose);
            insertText(it->first, kMarkOpen);
        }
        return !found.empty();
    }

    QString text() const
    {
        qsizetype size = m_html.size();
        for (const Insert &insert : m_inserts)
            size +=
                m_written ? insert.text.size() : insert.closes * kMarkClose.size() + insert.opens * kMarkOpen.size();
        QString out(size, Qt::Uninitialized);
        QChar *to = out.data();
        const auto put = [&to](QStringView piece) {
            std::copy(piece.begin(), piece.end(), to);
            to += piece.size();
        };
        qsizetype copied = 0;
        for (const qsizetype i : gapsInOrder()) {
            put(m_html.mid(copied, i - copied));
            const Insert &insert = m_inserts[size_t(m_slot[size_t(i)])];
            if (m_written) {
                put(insert.text);
            } else {
                for (int k = 0; k < insert.closes; ++k)
                    put(kMarkClose);
                for (int k = 0; k < insert.opens; ++k)
                    put(kMarkOpen);
            }
            copied = i;
        }
        put(m_html.mid(copied));
        return out;
    }

private:
    struct Insert
    {
        qsizetype gap;
        int closes = 0;
        int opens = 0;
        QString text; // once written out
    };

    // A place between two units of the working text: inside the insert of
    // gap index, before its unit offset.
    struct Gap
    {
        qsizetype index;
        qsizetype offset;
    };

    Insert &insertAt(qsizetype gap)
    {
        int &slot = m_slot[size_t(gap)];
        if (slot < 0) {
            slot = int(m_inserts.size());
            m_inserts.push_back(Insert{gap, 0, 0, QString()});
            m_sorted = false;
        }
        return m_inserts[size_t(slot)];
    }

    const QString &insertTextOf(qsizetype gap) const
    {
        static const QString none;
        const int slot = m_slot[size_t(gap)];
        return slot < 0 ? none : m_inserts[size_t(slot)].text;
    }

    void insertText(Gap gap, const QString &markup) { insertAt(gap.index).text.insert(gap.offset, markup); }

    void writeOut()
    {
        if (m_written)
            return;
        for (Insert &insert : m_inserts) {
            insert.text.reserve(insert.closes * kMarkClose.size() + insert.opens * kMarkOpen.size());
            for (int k = 0; k < insert.closes; ++k)
                insert.text.append(kMarkClose);
            for (int k = 0; k < insert.opens; ++k)
                insert.text.append(kMarkOpen);
        }
        m_written = true;
    }

    // The gaps that hold markup, in text order.
    const std::vector<qsizetype> &gapsInOrder() const
    {
        if (!m_sorted) {
            m_order.clear();
            m_order.reserve(m_inserts.size());
            for (size_t gap = 0; gap < m_slot.size(); ++gap) {
                if (m_slot[gap] >= 0)
                    m_order.push_back(qsizetype(gap));
            }
            m_sorted = true;
        }
        return m_order;
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
        for (const qsizetype i : gapsInOrder()) {
            starts.emplace_back(i + shift, i);
            shift += insertTextOf(i).size();
        }
        const auto gapBefore = [&](qsizetype position) -> Gap {
            auto it = std::upper_bound(starts.begin(), starts.end(), std::pair(position, qsizetype(m_html.size() + 1)));
            if (it == starts.begin())
                return {position, 0}; // an article unit before any insert
            --it;
            const auto [start, index] = *it;
            const qsizetype size = insertTextOf(index).size();
            if (position < start + size)
                return {index, position - start};
            const qsizetype unit = index + (position - start - size);
            return {unit, unit == index ? size : 0};
        };
        for (; at >= 0; at = whole.indexOf(word, at + word.size()))
            found.emplace_back(gapBefore(at), gapBefore(at + word.size()));
    }

    // Searches the working text from the insert of gap from to that of gap
    // to (article units from .. to - 1 between them), left to right without
    // overlaps.
    void searchWindow(qsizetype from, qsizetype to, QStringView word, std::vector<std::pair<Gap, Gap>> &found) const
    {
        QString window;
        std::vector<Gap> gapBefore; // the gap before each unit of the window
        for (qsizetype i = from; i <= to; ++i) {
            const QString &insert = insertTextOf(i);
            for (qsizetype k = 0; k < insert.size(); ++k)
                gapBefore.push_back({i, k});
            window.append(insert);
            if (i < to) {
                gapBefore.push_back({i, insert.size()});
                window.append(m_html[i]);
            }
        }
        gapBefore.push_back({to, insertTextOf(to).size()});
        for (qsizetype at = window.indexOf(word); at >= 0; at = window.indexOf(word, at + word.size()))
            found.emplace_back(gapBefore[size_t(at)], gapBefore[size_t(at + word.size())]);
    }

    QStringView m_html;
    std::vector<int> m_slot; // by gap: its insert in m_inserts, or -1
    std::vector<Insert> m_inserts;
    bool m_written = false;
    mutable std::vector<qsizetype> m_order;
    mutable bool m_sorted = true;
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
            m_lines.push_back({start, line.size(), m_automaton.addWord(line), canMeetMarkup(line)});
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
        if (!line.meetsMarkup)
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
