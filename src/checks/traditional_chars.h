#pragma once

#include <QHash>

namespace zorvane {

// Traditional characters and the simplified character each one stands for,
// character by character (the owner of the word libraries reads them from
// OpenCC's data). Empty, it folds nothing.
class TraditionalChars
{
public:
    void add(char32_t traditional, char32_t simplified) { m_map.insert(traditional, simplified); }
    char32_t simplified(char32_t c) const { return m_map.value(c, c); }
    qsizetype size() const { return m_map.size(); }
    const QHash<char32_t, char32_t> &map() const { return m_map; }

private:
    QHash<char32_t, char32_t> m_map;
};

} // namespace zorvane
