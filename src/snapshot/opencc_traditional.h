#pragma once

#include "checks/traditional_chars.h"

#include <QString>

#include <optional>

namespace zorvane {

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
