#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvane {

// The labelled edges of an automaton over UTF-16 units: (state, unit) → state,
// in one open-addressing hash table, plus a list of each state's edges for the
// builders that need to walk or copy them. Libraries use thousands of distinct
// CJK characters, so a dense table per state is out of the question.
class EdgeTable
{
public:
    static constexpr int None = -1;

    // The target of the edge (state, unit), or None.
    int target(int state, char16_t unit) const
    {
        const Slot *slot = findSlot(state, unit);
        return slot ? slot->target : None;
    }

    // The edge's index (for setTarget), or None.
    int find(int state, char16_t unit) const
    {
        const Slot *slot = findSlot(state, unit);
        return slot ? slot->edge : None;
    }

    // Adds an edge that does not exist yet.
    void add(int state, char16_t unit, int target);
    void setTarget(int edge, int target);

    // Walks a state's edges: for (int e = firstEdge(s); e != None; e = nextEdge(e)).
    int firstEdge(int state) const { return size_t(state) < m_heads.size() ? m_heads[size_t(state)] : None; }
    int nextEdge(int edge) const { return m_edges[size_t(edge)].next; }
    char16_t unitOf(int edge) const { return m_edges[size_t(edge)].unit; }
    int targetOf(int edge) const { return m_edges[size_t(edge)].target; }

    void reserve(size_t edges);

private:
    struct Edge
    {
        int source;
        int target;
        int next; // the source state's next edge
        char16_t unit;
    };

    // A slot holds its edge's key and target itself, so that a lookup reads
    // one place per probe.
    struct Slot
    {
        int source;
        int target;
        int edge; // None: the slot is free
        char16_t unit;
    };

    const Slot *findSlot(int state, char16_t unit) const
    {
        if (m_slots.empty())
            return nullptr;
        for (size_t index = hash(state, unit) & m_mask;; index = (index + 1) & m_mask) {
            const Slot &slot = m_slots[index];
            if (slot.edge == None)
                return nullptr;
            if (slot.source == state && slot.unit == unit)
                return &slot;
        }
    }
    void place(int edge);

    static size_t hash(int state, char16_t unit)
    {
        const uint64_t key = (uint64_t(uint32_t(state)) << 16) | unit;
        return size_t((key * 0x9E3779B97F4A7C15ull) >> 32);
    }
    void rehash(size_t slotCount);

    std::vector<Edge> m_edges;
    std::vector<Slot> m_slots;
    std::vector<int> m_heads;
    size_t m_mask = 0;
};

} // namespace zorvane
