#include "cli/article_files.h"
#include "cli/commands.h"
#include "cli/rewrite_options.h"
#include "rewrite/pseudo_original.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runPseudo(CliContext &context)
{
    PseudoOriginalOptions options;
    options.replaceSynonyms = context.isSet(u"synonyms"_s);
    options.synonyms.wholeWords = context.isSet(u"whole-words"_s);
    if (context.isSet(u"shuffle"_s)) {
        const std::optional<int> level = shuffleLevelOf(context.value(u"shuffle"_s));
        if (!level)
            return context.usage();
        options.changeOrder = true;
        options.level = *level;
    }
    const SeedOption seed = seedOption(context);
    ArticleFiles files(context);
    if (seed.bad || files.usageError())
        return context.usage();
    const FormatOptions format = context.readSettings().format;
    const SynonymIndex noLibrary;
    const SynonymIndex &synonyms = options.replaceSynonyms ? context.libraries().synonyms() : noLibrary;
    const WordSegmenter *segmenter =
        wordSegmenterFor({options.replaceSynonyms && options.synonyms.wholeWords}, context);
    if (!segmenter)
        return CliContext::Failure;
    return files.run([&](const QString &html) {
        return withGenerator(seed.seed, [&](QRandomGenerator &random) {
            // Every strength is a level here, so the run always gives a result.
            return ArticleResult{
                oneKeyPseudoOriginal(html, options, format, synonyms, *segmenter, random).value_or(html), {}};
        });
    });
}

} // namespace zorvane
