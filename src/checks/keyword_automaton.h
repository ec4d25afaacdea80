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
    };

    std::vector<Node> m_nodes{Node{}};
    EdgeTable m_edges;
    int m_wordCount = 0;
};

} // namespace zorvane
