#include "rewrite/synonym_index.h"

#include <algorithm>
#include <bit>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

constexpr char16_t Cr = u'\r';
constexpr char16_t Lf = u'\n';
constexpr char16_t Bar = u'|';

inline bool isBoundaryChar(char16_t c)
{
    return c == Cr || c == Lf || c == Bar;
}

inline std::uint64_t edgeKey(std::int32_t state, char16_t c)
{
    return ((std::uint64_t(std::uint32_t(state)) << 16) | c) + 1;
}

} // namespace

SynonymIndex::SynonymIndex(const QString &library) : m_library(library), m_padded(u"\r\n"_s + library + u"\r\n"_s)
{
    const auto size = std::int32_t(m_padded.size());
    const char16_t *chars = reinterpret_cast<const char16_t *>(m_padded.constData());

    // A suffix automaton has at most 2n states and 3n edges.
    m_link.reserve(std::size_t(size) * 2);
    m_length.reserve(std::size_t(size) * 2);
    m_firstEnd.reserve(std::size_t(size) * 2);
    m_firstEdge.reserve(std::size_t(size) * 2);
    m_edgeLinks.reserve(std::size_t(size) * 2);
    m_bits = std::max(4, int(std::bit_width(std::uint64_t(size) * 5)));
    m_rootEdges.assign(0x10000, NoState);
    m_edges.assign(std::size_t(1) << m_bits, Edge{0, NoState});

    newState(0, -1);
    for (std::int32_t i = 0; i < size; ++i)
        extend(chars[i], i);

    m_lineStart.resize(std::size_t(size) + 1);
    std::int32_t lineStart = 0;
    for (std::int32_t i = 0; i <= size; ++i) {
        m_lineStart[std::size_t(i)] = lineStart;
        if (i < size && chars[i] == Lf)
            lineStart = i + 1;
    }
    m_nextCr.resize(std::size_t(size) + 1);
    m_nextBar.resize(std::size_t(size) + 1);
    std::int32_t nextCr = size;
    std::int32_t nextBar = size;
    for (std::int32_t i = size; i >= 0; --i) {
        if (i < size && chars[i] == Cr)
            nextCr = i;
        if (i < size && chars[i] == Bar)
            nextBar = i;
        m_nextCr[std::size_t(i)] = nextCr;
        m_nextBar[std::size_t(i)] = nextBar;
    }

    for (std::int32_t start = 0; start < size;) {
        std::int32_t end = start;
        while (end < size && !isBoundaryChar(chars[end]))
            ++end;
        if (end > start) {
            const QStringView word = QStringView(m_padded).mid(start, end - start);
            if (!m_wholeWords.contains(word))
                m_wholeWords.insert(word, replacementAt(start, end - start));
            m_longestWord = std::max<qsizetype>(m_longestWord, end - start);
        }
        start = end + 1;
    }
}

std::optional<QStringView> SynonymIndex::wholeWordReplacement(QStringView word) const
{
    const auto it = m_wholeWords.constFind(word);
    if (it == m_wholeWords.cend())
        return std::nullopt;
    return *it;
}

std::int32_t SynonymIndex::newState(std::int32_t length, std::int32_t firstEnd)
{
    m_link.push_back(NoState);
    m_length.push_back(length);
    m_firstEnd.push_back(firstEnd);
    m_firstEdge.push_back(-1);
    return std::int32_t(m_link.size() - 1);
}

std::size_t SynonymIndex::slotOf(std::uint64_t key) const
{
    return std::size_t((key * 0x9E3779B97F4A7C15ULL) >> (64 - m_bits));
}

std::int32_t SynonymIndex::next(std::int32_t state, char16_t c) const
{
    if (state == 0)
        return m_rootEdges[c];
    const std::uint64_t key = edgeKey(state, c);
    const std::size_t mask = m_edges.size() - 1;
    for (std::size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
        const Edge &edge = m_edges[slot];
        if (edge.key == key)
            return edge.target;
        if (edge.key == 0)
            return NoState;
    }
}

void SynonymIndex::setNext(std::int32_t state, char16_t c, std::int32_t target)
{
    // The root is never copied, so its edges need no list.
    if (state == 0) {
        m_rootEdges[c] = target;
        return;
    }
    const std::uint64_t key = edgeKey(state, c);
    const std::size_t mask = m_edges.size() - 1;
    for (std::size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
        Edge &edge = m_edges[slot];
        if (edge.key == key) {
            edge.target = target;
            return;
        }
        if (edge.key == 0) {
            edge = Edge{key, target};
            m_edgeLinks.push_back({c, m_firstEdge[std::size_t(state)]});
            m_firstEdge[std::size_t(state)] = std::int32_t(m_edgeLinks.size() - 1);
            if (++m_used * 2 > m_edges.size())
                growTable();
            return;
        }
    }
}

void SynonymIndex::growTable()
{
    std::vector<Edge> edges(std::size_t(1) << (m_bits + 1), Edge{0, NoState});
    edges.swap(m_edges);
    ++m_bits;
    const std::size_t mask = m_edges.size() - 1;
    for (const Edge &edge : edges) {
        if (edge.key == 0)
            continue;
        std::size_t slot = slotOf(edge.key);
        while (m_edges[slot].key != 0)
            slot = (slot + 1) & mask;
        m_edges[slot] = edge;
    }
}

void SynonymIndex::extend(char16_t c, std::int32_t at)
{
    const std::int32_t current = newState(m_length[std::size_t(m_last)] + 1, at);
    std::int32_t p = m_last;
    while (p != NoState && next(p, c) == NoState) {
        setNext(p, c, current);
        p = m_link[std::size_t(p)];
    }
    if (p == NoState) {
        m_link[std::size_t(current)] = 0;
    } else {
        const std::int32_t q = next(p, c);
        if (m_length[std::size_t(p)] + 1 == m_length[std::size_t(q)]) {
            m_link[std::size_t(current)] = q;
        } else {
            const std::int32_t clone = newState(m_length[std::size_t(p)] + 1, m_firstEnd[std::size_t(q)]);
            for (std::int32_t e = m_firstEdge[std::size_t(q)]; e >= 0; e = m_edgeLinks[std::size_t(e)].next) {
                const char16_t edgeChar = m_edgeLinks[std::size_t(e)].c;
                setNext(clone, edgeChar, next(q, edgeChar));
            }
            m_link[std::size_t(clone)] = m_link[std::size_t(q)];
            while (p != NoState && next(p, c) == q) {
                setNext(p, c, clone);
                p = m_link[std::size_t(p)];
            }
            m_link[std::size_t(q)] = clone;
            m_link[std::size_t(current)] = clone;
        }
    }
    m_last = current;
}

QStringView SynonymIndex::replacementAt(std::int32_t start, std::int32_t length) const
{
    const auto size = std::int32_t(m_padded.size());
    const std::int32_t after = start + length;
    const std::int32_t lineStart = m_lineStart[std::size_t(start)];
    const std::int32_t lineEnd = m_nextCr[std::size_t(after)];
    std::int32_t from = lineStart;
    // Followed by "|": not the last word of its line, so it becomes the second word.
    if (after < size && m_padded.at(after) == Bar)
        from = m_nextBar[std::size_t(lineStart)] + 1;
    const std::int32_t to = std::min(m_nextBar[std::size_t(from)], lineEnd);
    return QStringView(m_padded).mid(from, to - from);
}

QString SynonymIndex::replace(const QString &text) const
{
    if (text.isEmpty())
        return text;
    const auto n = std::int32_t(text.size());
    const auto paddedSize = std::int32_t(m_padded.size());
    const char16_t *t = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *lib = reinterpret_cast<const char16_t *>(m_padded.constData());

    QString out;
    out.reserve(text.size() + text.size() / 8);
    std::int32_t i = 0;
    while (i < n) {
        const char16_t c = t[i];
        bool exchanged = false;
        if (c != Cr && c != Lf) {
            std::int32_t state = 0;
            for (std::int32_t length = 1;; ++length) {
                state = next(state, t[i + length - 1]);
                if (state == NoState)
                    break;
                // Every string of a state shares the end of its first occurrence.
                const std::int32_t start = m_firstEnd[std::size_t(state)] - length + 1;
                const std::int32_t after = start + length;
                const bool wholeWord = (start == 0 || isBoundaryChar(lib[start - 1]))
                                       && (after >= paddedSize || isBoundaryChar(lib[after]));
                if (wholeWord) {
                    out += replacementAt(start, length);
                    i += length;
                    exchanged = true;
                    break;
                }
                if (i + length >= n)
                    break;
            }
        }
        if (!exchanged) {
            out += QChar(c);
            ++i;
        }
    }
    return out;
}

} // namespace zorvane
