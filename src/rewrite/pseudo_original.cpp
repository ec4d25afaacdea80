#include "rewrite/pseudo_original.h"

#include "format/format_html.h"
#include "rewrite/rewrite_texts.h"
#include "rewrite/shuffle.h"
#include "rewrite/synonyms.h"
#include "settings/word_library.h"

namespace zorvane {

namespace {

void report(const StatusReport &status, const QString &text)
{
    if (status)
        status(text);
}

} // namespace

QString shuffleStructure(const QString &html, int level, QRandomGenerator &random)
{
    return FormatHtml(shuffleParagraphs(html, level, random), FormatMode::Plain);
}

const QString &loadedSynonymLibrary(const StatusReport &status)
{
    WordLibrary &library = synonymLibrary();
    if (!library.isLoaded())
        report(status, RewriteText::kLoadingLibraryFirstUse);
    return library.load();
}

std::optional<QString> oneKeyPseudoOriginal(const QString &html, const PseudoOriginalOptions &options,
                                            QRandomGenerator &random, const StatusReport &status)
{
    QString working = html;
    if (options.replaceSynonyms) {
        const QString &library = loadedSynonymLibrary(status);
        report(status, RewriteText::kReplacingSynonyms);
        working = replaceSynonyms(working, library);
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
    return FormatHtml(working, FormatMode::PseudoOriginal);
}

} // namespace zorvane
