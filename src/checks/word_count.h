#pragma once

#include <QString>

namespace zorvane {

// The character count shown beside the count button. Every UTF-16 unit counts
// as one character, Chinese and Latin alike, blanks and punctuation included.

struct WordCount
{
    qsizetype source = 0; // the editor page's HTML as it stands
    qsizetype text = 0;   // its text: markup stripped (entities left as written),
                          // blanks trimmed at both ends, CR LF pairs and tabs removed
};

WordCount countWords(const QString &html);
// "2480个[源码] 1311个[文本]"
QString wordCountCaption(const WordCount &count);

// The text box of text mode counts as written, a line break being two
// characters (CR and LF); a box that hands out bare LF line ends gets them
// counted as two all the same.
qsizetype countTextBox(const QString &plainText);
// "1520个"
QString textBoxCaption(qsizetype count);

} // namespace zorvane
