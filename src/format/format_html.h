#pragma once

#include "checks/check_options.h"
#include "checks/typo_check.h"
#include "format/format_options.h"

#include <QString>

namespace zorvane {

class ScratchDocument;

// The runs of the formatting pipeline, by the numbers the system gives them.
enum class FormatMode {
    Plain = 0,          // what the structure shuffle ends with
    OneKeyFormat = 1,   // one-key format: signature, punctuation, typo check
    PseudoOriginal = 2, // one-key pseudo-original: keyword insertion and link
};

// The article formatting pipeline: the article, the options and the typo
// library in, the formatted article out. Reads no file and no setting, so
// the settings dialog's changes apply from the next command, which reads a
// new snapshot. The typo library is used only by the typo check of mode 1;
// the other runs may be given an empty one. Never fails: at worst the result
// is the plain rendering of the article.
QString FormatHtml(const QString &html, FormatMode mode, const FormatOptions &options, const CheckOptions &checks,
                   const TypoIndex &typos);

// Whether a run of this mode with these options needs the typo library, so
// that a command loads it only then, as the pipeline always did.
bool usesTypoLibrary(FormatMode mode, const FormatOptions &options);

// Loads html into the scratch document the pipeline works on, as
// "<html><body>" + html + "</body></html>" (see scratch_document.h).
void setTmpHtml(ScratchDocument &webTmp, const QString &html);

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
