#pragma once

#include "checks/edge_table.h"

#include <QStringView>

#include <vector>

namespace zorvane {

// An Aho-Corasick automaton over a list of words: one pass over a text tells
// which of the words occur in it.
class KeywordAutomaton
{
public:
    static constexpr int None = EdgeTable::None;

    // Adds a word; returns its id (the same id for a word added twice).
    int addWord(QStringView word);
    // Call once after the last addWord.
    void finish();

    int wordCount() const { return m_wordCount; }
    // Every occurrence of every word in text: starts[first[id] .. first[id + 1])
    // are the start positions of word id, in increasing order.
    struct Occurrences
    {
        std::vector<int> first;
        std::vector<int> starts;
    };
    Occurrences findAll(QStringView text) const;

private:
    struct Node
    {
        int fail = 0;
        int output = None; // nearest node on the fail chain that ends a word
        int word = None;   // the id of the word ending here
        int depth = 0;     // its length
        // Bit (unit % 64) is set for every unit the node has an edge for, so
        // that most missing edges are known without looking them up.
        quint64 units = 0;
    };

    int next(int node, char16_t unit) const
    {
        if (node == 0)
            return unit < m_rootNext.size() ? m_rootNext[unit] : None;
        if (!(m_nodes[size_t(node)].units & (quint64(1) << (unit & 63))))
            return None;
        return m_edges.target(node, unit);
    }

    std::vector<Node> m_nodes{Node{}};
    // The root's edges by unit, a dense table up to its highest unit: most
    // steps end there.
    std::vector<int> m_rootNext;
    bool m_finished = false;
    EdgeTable m_edges;
    int m_wordCount = 0;
};

} // namespace zorvane
