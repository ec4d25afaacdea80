#pragma once

#include "checks/edge_table.h"

#include <QStringView>

#include <vector>

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
    // found[id] is set for every word that occurs in text.
    void findWords(QStringView text, std::vector<char> &found) const;

private:
    struct Node
    {
        int fail = 0;
        int output = None; // nearest node on the fail chain that ends a word
        int word = None;   // the id of the word ending here
    };

    std::vector<Node> m_nodes{Node{}};
    EdgeTable m_edges;
    int m_wordCount = 0;
};
