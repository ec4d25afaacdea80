#include "checks/keyword_automaton.h"

int KeywordAutomaton::addWord(QStringView word)
{
    int node = 0;
    for (const QChar c : word) {
        int next = m_edges.target(node, c.unicode());
        if (next == None) {
            next = int(m_nodes.size());
            m_nodes.push_back(Node{});
            m_edges.add(node, c.unicode(), next);
        }
        node = next;
    }
    if (m_nodes[size_t(node)].word == None)
        m_nodes[size_t(node)].word = m_wordCount++;
    return m_nodes[size_t(node)].word;
}

void KeywordAutomaton::finish()
{
    // Breadth first, so that every node's fail target is done before it.
    std::vector<int> queue;
    queue.reserve(m_nodes.size());
    for (int e = m_edges.firstEdge(0); e != None; e = m_edges.nextEdge(e)) {
        const int child = m_edges.targetOf(e);
        m_nodes[size_t(child)].fail = 0;
        queue.push_back(child);
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        const int node = queue[head];
        for (int e = m_edges.firstEdge(node); e != None; e = m_edges.nextEdge(e)) {
            const char16_t unit = m_edges.unitOf(e);
            const int child = m_edges.targetOf(e);
            int fail = m_nodes[size_t(node)].fail;
            int target = m_edges.target(fail, unit);
            while (target == None && fail != 0) {
                fail = m_nodes[size_t(fail)].fail;
                target = m_edges.target(fail, unit);
            }
            Node &c = m_nodes[size_t(child)];
            c.fail = target == None ? 0 : target;
            const Node &f = m_nodes[size_t(c.fail)];
            c.output = f.word != None ? c.fail : f.output;
            queue.push_back(child);
        }
    }
}

void KeywordAutomaton::findWords(QStringView text, std::vector<char> &found) const
{
    found.assign(size_t(m_wordCount), 0);
    // A node is visited once: its fail chain was walked the first time.
    std::vector<char> visited(m_nodes.size(), 0);
    int node = 0;
    for (const QChar c : text) {
        int next = m_edges.target(node, c.unicode());
        while (next == None && node != 0) {
            node = m_nodes[size_t(node)].fail;
            next = m_edges.target(node, c.unicode());
        }
        node = next == None ? 0 : next;
        int hit = m_nodes[size_t(node)].word != None ? node : m_nodes[size_t(node)].output;
        while (hit != None && hit != 0 && !visited[size_t(hit)]) {
            visited[size_t(hit)] = 1;
            found[size_t(m_nodes[size_t(hit)].word)] = 1;
            hit = m_nodes[size_t(hit)].output;
        }
    }
}
