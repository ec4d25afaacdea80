#include "rewrite/pseudo_original.h"

#include "format/format_html.h"
#include "rewrite/rewrite_texts.h"
#include "rewrite/shuffle.h"
#include "rewrite/synonyms.h"

namespace zorvane {

namespace {

void report(const StatusReport &status, const QString &text)
{
    if (status)
        status(text);
}

// The plain and the pseudo-original runs make no check, so they need no
// check options and no typo library.
QString formatWithoutChecks(const QString &html, FormatMode mode, const FormatOptions &format)
{
    return FormatHtml(html, mode, format, CheckOptions(), TypoIndex());
}

} // namespace

QString shuffleStructure(const QString &html, int level, const FormatOptions &format, QRandomGenerator &random)
{
    return formatWithoutChecks(shuffleParagraphs(html, level, random), FormatMode::Plain, format);
}

std::optional<QString> oneKeyPseudoOriginal(const QString &html, const PseudoOriginalOptions &options,
                                            const FormatOptions &format, const SynonymIndex &synonyms,
                                            const WordSegmenter &segmenter, QRandomGenerator &random,
                                            const StatusReport &status)
{
    QString working = html;
    if (options.replaceSynonyms) {
        report(status, RewriteText::kReplacingSynonyms);
        working = replaceSynonyms(working, synonyms, options.synonyms, segmenter);
    }
    if (options.changeOrder) {
        if (options.level < 0) {
            report(status, RewriteText::kChooseStrength);
            return std::nullopt;
        }
        report(status, RewriteText::kShuffling);
        working = shuffleParagraphs(working, options.level, random);
    }
    report(status, RewriteText::kFormatting);
    return formatWithoutChecks(working, FormatMode::PseudoOriginal, format);
}

} // namespace zorvane
