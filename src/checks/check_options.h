#pragma once

namespace zorvane {

// What the typo and punctuation routines do with what they find. Setting
// Format/CheckWordsType chooses it: 1 marks, anything else replaces (the
// settings dialog shows any other value as "replace" too).
enum class TypoMark {
    Replace = 0, // the correct form (the full-width sign) instead
    Mark = 1,    // wrapped in "<font color=red>" and "</font>"
};

// The text checks' options, as a command read them from the settings at its
// start.
struct CheckOptions
{
    TypoMark typoMark = TypoMark::Replace; // Format/CheckWordsType
    bool sensitiveLoose = false;           // Format/SensitiveLoose: see through disguise (loose_sensitive.h)
};

} // namespace zorvane
