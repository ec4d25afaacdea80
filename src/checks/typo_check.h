#pragma once

#include <QString>

// Typo marking against the typo library ("\data\error.dat" held in memory by
// typoLibrary()): one entry per CR LF line, written wrong|right.
//
// markTypos scans the text (HTML included, tags and attributes like any other
// text) position by position. At each position it grows a candidate one
// character at a time for as long as the candidate occurs somewhere in the
// library; the first length whose first occurrence in the library is an entry
// key (at a line start and followed by "|") is a typo. Mark flag non-zero:
// the typo is wrapped in "<font color=red>" and "</font>"; zero: it is
// replaced by the second "|" field of its library line. Scanning resumes after
// the inserted text. count receives the number of typos found.
QString markTypos(const QString &text, const QString &library, int markFlag, int &count);

// Half-width , . ! ? : in red (CheckWordsType 1) or turned into their
// full-width forms (any other value), on every occurrence, markup included.
// Reads Format/CheckWordsType from the settings at each call.
QString fixPunctuation(const QString &text);
// The same with the setting's value given.
QString fixPunctuation(const QString &text, int checkWordsType);
