#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace zorvane {

// The synonym library prepared for replacement: a suffix automaton of the
// library text, which answers "where does this string first occur?" one
// character of extension at a time, plus per-position tables for finding a
// word's line and its first and second words. Building it is linear in the
// library's length; a replacement is then linear in the article's length
// (times the few characters each candidate grows by), instead of one search
// through the whole library per candidate. Built once per library text;
// immutable, so any number of threads may replace with one index at once.
class SynonymIndex
{
public:
    explicit SynonymIndex(const QString &library = QString());

    const QString &library() const { return m_library; }
    QString replace(const QString &text) const;

    // What word is exchanged for where it stands as a word of its own: the
    // exchange replace() makes at the word's first place in the library that
    // is a whole library word; nullopt when no place is.
    std::optional<QStringView> wholeWordReplacement(QStringView word) const;
    // The length of the longest word of the library.
    qsizetype longestWord() const { return m_longestWord; }

private:
    static constexpr std::int32_t NoState = -1;

    void extend(char16_t c, std::int32_t at);
    std::int32_t newState(std::int32_t length, std::int32_t firstEnd);
    std::int32_t next(std::int32_t state, char16_t c) const;
    void setNext(std::int32_t state, char16_t c, std::int32_t target);
    void growTable();
    std::size_t slotOf(std::uint64_t key) const;
    QStringView replacementAt(std::int32_t start, std::int32_t length) const;

    QString m_library;
    QString m_padded; // CR LF + library + CR LF: every line has an LF before it and a CR after it

    // Automaton states.
    std::vector<std::int32_t> m_link;
    std::vector<std::int32_t> m_length;
    std::vector<std::int32_t> m_firstEnd;  // end of the first occurrence of the state's strings
    std::vector<std::int32_t> m_firstEdge; // head of the state's list of outgoing characters
    std::int32_t m_last = 0;

    // Outgoing characters per state (for copying a state's edges), and the
    // edges themselves in an open-addressing table keyed by (state, character).
    struct EdgeLink
    {
        char16_t c;
        std::int32_t next;
    };
    std::vector<EdgeLink> m_edgeLinks;
    struct Edge
    {
        std::uint64_t key; // 0 = free slot, else ((state << 16) | c) + 1
        std::int32_t target;
    };
    std::vector<Edge> m_edges;
    std::vector<std::int32_t> m_rootEdges; // the root's edges, by character: every candidate starts there
    std::size_t m_used = 0;
    int m_bits = 0;

    // Per position of m_padded (and one past its end).
    std::vector<std::int32_t> m_lineStart; // just after the last LF before the position
    std::vector<std::int32_t> m_nextCr;    // the first CR at or after the position, else the end
    std::vector<std::int32_t> m_nextBar;   // the first "|" at or after the position, else the end

    // Every whole word of the library with its exchange; the views point
    // into m_padded, which never changes.
    QHash<QStringView, QStringView> m_wholeWords;
    qsizetype m_longestWord = 0;
};

} // namespace zorvane
