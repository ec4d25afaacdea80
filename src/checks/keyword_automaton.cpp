#include "checks/keyword_automaton.h"

#include <algorithm>
#include <utility>

namespace zorvane {

int KeywordAutomaton::addWord(QStringView word)
{
    int node = 0;
    for (const QChar c : word) {
        int next = m_edges.target(node, c.unicode());
        if (next == None) {
            next = int(m_nodes.size());
            m_nodes.push_back(Node{0, None, None, m_nodes[size_t(node)].depth + 1, 0});
            m_edges.add(node, c.unicode(), next);
            m_nodes[size_t(node)].units |= quint64(1) << (c.unicode() & 63);
        }
        node = next;
    }
    if (m_nodes[size_t(node)].word == None)
        m_nodes[size_t(node)].word = m_wordCount++;
    return m_nodes[size_t(node)].word;
}

void KeywordAutomaton::finish()
{
    size_t highest = 0;
    for (int e = m_edges.firstEdge(0); e != None; e = m_edges.nextEdge(e))
        highest = std::max<size_t>(highest, m_edges.unitOf(e));
    m_rootNext.assign(highest + 1, None);
    for (int e = m_edges.firstEdge(0); e != None; e = m_edges.nextEdge(e))
        m_rootNext[m_edges.unitOf(e)] = m_edges.targetOf(e);
    m_finished = true;
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

KeywordAutomaton::Occurrences KeywordAutomaton::findAll(QStringView text) const
{
    // (word, end) pairs in text order, then grouped by word.
    std::vector<std::pair<int, int>> hits;
    if (!m_finished)
        text = {}; // no words to find yet
    hits.reserve(size_t(text.size()));
    int node = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        int target = next(node, unit);
        while (target == None && node != 0) {
            node = m_nodes[size_t(node)].fail;
            target = next(node, unit);
        }
        node = target == None ? 0 : target;
        for (int hit = m_nodes[size_t(node)].word != None ? node : m_nodes[size_t(node)].output; hit > 0;
             hit = m_nodes[size_t(hit)].output) {
            const Node &n = m_nodes[size_t(hit)];
            hits.emplace_back(n.word, int(i) - n.depth + 1);
        }
    }
    Occurrences result;
    result.first.assign(size_t(m_wordCount) + 1, 0);
    for (const auto &hit : hits)
        ++result.first[size_t(hit.first) + 1];
    for (size_t w = 1; w < result.first.size(); ++w)
        result.first[w] += result.first[w - 1];
    result.starts.resize(hits.size());
    std::vector<int> fill(result.first.begin(), result.first.end() - 1);
    for (const auto &hit : hits)
        result.starts[size_t(fill[size_t(hit.first)]++)] = hit.second;
    return result;
}

} // namespace zorvane
