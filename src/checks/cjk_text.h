#pragma once

#include "checks/visible_chars.h"

#include <vector>

namespace zorvane {

// What the Chinese typesetting checks know about characters.

bool isAsciiDigit(char32_t c);
bool isAsciiAlnum(char32_t c);
// Han ideographs (with 〇), kana and bopomofo; no punctuation.
bool isCjkCharacter(char32_t c);
// ASCII letters and digits, and the accented letters of Latin script.
bool isLatinLetterOrDigit(char32_t c);

// Numbers every character that belongs to an address (http://…, https://…,
// www.…, an e-mail address) with its address, from 1; 0 elsewhere. A host
// is ASCII; a path (after "/", "?" or "#") runs to the next blank, line
// break, quote, angle bracket or full-width punctuation mark, so it may hold
// CJK characters. An address never runs across markup.
std::vector<int> findAddresses(const std::vector<VisibleChar> &chars);

} // namespace zorvane
