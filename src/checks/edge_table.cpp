#include "checks/edge_table.h"

#include <algorithm>

namespace zorvane {

void EdgeTable::reserve(size_t edges)
{
    m_edges.reserve(edges);
    size_t slots = 16;
    while (slots < edges * 2)
        slots *= 2;
    if (slots > m_slots.size())
        rehash(slots);
}

void EdgeTable::add(int state, char16_t unit, int target)
{
    // Keep the table at most half full so that probe runs stay short.
    if ((m_edges.size() + 1) * 2 > m_slots.size())
        rehash(m_slots.empty() ? 64 : m_slots.size() * 2);
    if (size_t(state) >= m_heads.size())
        m_heads.resize(std::max(size_t(state) + 1, m_heads.size() * 2), None);
    const int edge = int(m_edges.size());
    m_edges.push_back({state, target, m_heads[size_t(state)], unit});
    m_heads[size_t(state)] = edge;
    place(edge);
}

void EdgeTable::setTarget(int edge, int target)
{
    Edge &e = m_edges[size_t(edge)];
    e.target = target;
    const_cast<Slot *>(findSlot(e.source, e.unit))->target = target;
}

void EdgeTable::place(int edge)
{
    const Edge &e = m_edges[size_t(edge)];
    size_t index = hash(e.source, e.unit) & m_mask;
    while (m_slots[index].edge != None)
        index = (index + 1) & m_mask;
    m_slots[index] = {e.source, e.target, edge, e.unit};
}

void EdgeTable::rehash(size_t slotCount)
{
    m_slots.assign(slotCount, Slot{0, None, None, 0});
    m_mask = slotCount - 1;
    for (size_t edge = 0; edge < m_edges.size(); ++edge)
        place(int(edge));
}

} // namespace zorvane
