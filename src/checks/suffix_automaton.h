#pragma once

#include "checks/edge_table.h"

#include <QStringView>

#include <vector>

namespace zorvane {

// The suffix automaton of a text: walking it from the root along a string
// answers "does the string occur in the text, and where does its first
// occurrence end" in one step per character.
class SuffixAutomaton
{
public:
    static constexpr int None = EdgeTable::None;

    explicit SuffixAutomaton(QStringView text);

    int root() const { return 0; }
    // The state reached from state by one more unit, or None when the
    // extended string does not occur in the text.
    int next(int state, char16_t unit) const { return m_edges.target(state, unit); }
    // Index in the text of the last unit of the first occurrence of every
    // string that leads to state.
    qsizetype firstEnd(int state) const { return m_states[size_t(state)].firstEnd; }

private:
    struct State
    {
        int length; // longest string of the state
        int link;   // suffix link
        int firstEnd;
    };

    std::vector<State> m_states;
    EdgeTable m_edges;
};

} // namespace zorvane
