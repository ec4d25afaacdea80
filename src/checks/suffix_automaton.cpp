#include "checks/suffix_automaton.h"

namespace zorvane {

SuffixAutomaton::SuffixAutomaton(QStringView text)
{
    const size_t n = size_t(text.size());
    m_states.reserve(2 * n + 1);
    m_edges.reserve(3 * n + 1);
    m_states.push_back({0, None, -1});
    int last = 0;
    for (size_t i = 0; i < n; ++i) {
        const char16_t unit = text[qsizetype(i)].unicode();
        const int current = int(m_states.size());
        m_states.push_back({m_states[size_t(last)].length + 1, None, int(i)});
        int p = last;
        while (p != None && m_edges.find(p, unit) == None) {
            m_edges.add(p, unit, current);
            p = m_states[size_t(p)].link;
        }
        if (p == None) {
            m_states[size_t(current)].link = 0;
        } else {
            const int q = m_edges.target(p, unit);
            if (m_states[size_t(p)].length + 1 == m_states[size_t(q)].length) {
                m_states[size_t(current)].link = q;
            } else {
                const int clone = int(m_states.size());
                m_states.push_back(
                    {m_states[size_t(p)].length + 1, m_states[size_t(q)].link, m_states[size_t(q)].firstEnd});
                for (int e = m_edges.firstEdge(q); e != None; e = m_edges.nextEdge(e))
                    m_edges.add(clone, m_edges.unitOf(e), m_edges.targetOf(e));
                while (p != None) {
                    const int edge = m_edges.find(p, unit);
                    if (edge == None || m_edges.targetOf(edge) != q)
                        break;
                    m_edges.setTarget(edge, clone);
                    p = m_states[size_t(p)].link;
                }
                m_states[size_t(q)].link = clone;
                m_states[size_t(current)].link = clone;
            }
        }
        last = current;
    }
}

} // namespace zorvane
