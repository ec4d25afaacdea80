#pragma once

#include <QString>

namespace zorvane {

// The sensitive-word check against the library "\data\hexie.dat" (held in
// memory by sensitiveLibrary()): one word or phrase per CR LF line.
struct SensitiveWordsResult
{
    // The number of library lines that occur (a word occurring three times
    // counts once; a line listed twice counts twice).
    int count = 0;
    // The HTML with every occurrence of each found line wrapped in
    // "<font color=red>" and "</font>", line by line in file order, each line
    // searched in the text the earlier lines already marked.
    QString marked;
};

SensitiveWordsResult checkSensitiveWords(const QString &html, const QString &library);

} // namespace zorvane
