#pragma once

#include <QString>

namespace zorvane {

// The runs of the formatting pipeline, by the numbers the system gives them.
enum class FormatMode {
    Plain = 0,          // what the structure shuffle ends with
    OneKeyFormat = 1,   // one-key format: signature, punctuation, typo check
    PseudoOriginal = 2, // one-key pseudo-original: keyword insertion and link
};

// The article formatting pipeline. Every setting is read from the settings
// file at the step that uses it, so a change made in the settings dialog
// applies to the next run. Never fails: at worst the result is the plain
// rendering of the article.
QString FormatHtml(const QString &html, FormatMode mode);

// Loads html into this thread's scratch document, which FormatHtml then works
// on (see scratch_document.h).
void setTmpHtml(const QString &html);
class ScratchDocument;
ScratchDocument &tmpDocument();

// The image table entry of one image: a centred img element with its five
// attributes, in the order src, alt, width, height, align, all double-quoted.
QString imageTableEntry(const QString &src, const QString &alt, const QString &width, const QString &height,
                        const QString &align);

// The number of keyword occurrences that makes kw's characters density
// percent of a text of textLength characters, rounded half to even.
qint64 keywordTarget(qint64 textLength, int density, qint64 keywordLength);

// Inserts kw after every step-th character of text unless the 40 characters
// starting 20 before that point hold an image placeholder.
QString insertKeyword(const QString &text, const QString &kw, qsizetype step);

} // namespace zorvane
