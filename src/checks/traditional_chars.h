#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace zorvane {

// Traditional characters and the simplified character each one stands for,
// character by character, as OpenCC's traditional-to-simplified data has
// them. Empty, it folds nothing.
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

struct TraditionalCharsLoad
{
    std::optional<TraditionalChars> chars;
    QString error; // why there are none
};

// Reads the single-character entries of OpenCC's "t2s" conversion from the
// data the system's OpenCC installed; the phrases are left out, since the
// checks fold one character at a time.
TraditionalCharsLoad loadTraditionalChars();

} // namespace zorvane
