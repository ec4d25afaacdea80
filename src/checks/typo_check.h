#pragma once

#include <QString>

namespace zorvane {

// What the typo and punctuation routines do with what they find. Setting
// Format/CheckWordsType chooses it: 1 marks, anything else replaces (the
// settings dialog shows any other value as "replace" too).
enum class TypoMark {
    Replace = 0, // the correct form (the full-width sign) instead
    Mark = 1,    // wrapped in "<font color=red>" and "</font>"
};

// The choice of the settings file, read at each call.
TypoMark typoMarkSetting();

// Typo marking against the typo library ("\data\error.dat" held in memory by
// typoLibrary()): one entry per CR LF line, written wrong|right.
//
// markTypos scans the text (HTML included, tags and attributes like any other
// text) position by position. At each position it grows a candidate one
// character at a time for as long as the candidate occurs somewhere in the
// library; the first length whose first occurrence in the library is an entry
// key (at a line start and followed by "|") is a typo. TypoMark::Mark wraps
// the typo in "<font color=red>" and "</font>"; TypoMark::Replace puts the
// second "|" field of its library line instead. Scanning resumes after the
// inserted text. count receives the number of typos found.
QString markTypos(const QString &text, const QString &library, TypoMark mark, int &count);

// Half-width , . ! ? : in red or turned into their full-width forms, on every
// occurrence, markup included, as typoMarkSetting() says at the call.
QString fixPunctuation(const QString &text);
// The same with the choice given.
QString fixPunctuation(const QString &text, TypoMark mark);

} // namespace zorvane
