#include "cli/article_files.h"
#include "cli/commands.h"
#include "cli/rewrite_options.h"
#include "rewrite/synonyms.h"
#include "snapshot/word_libraries.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runSynonyms(CliContext &context)
{
    const SynonymOptions options{context.isSet(u"whole-words"_s)};
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    WordLibraries &libraries = context.libraries();
    const SynonymIndex &library = libraries.synonyms();
    // As in the window, a missing library changes nothing; said once.
    if (!libraries.isLoaded(WordLibraries::Library::Synonyms))
        CliContext::report(u"zorvane-cli: the synonym library data/same.dat is missing or empty"_s);
    const WordSegmenter *segmenter = wordSegmenterFor(options, context);
    if (!segmenter)
        return CliContext::Failure;
    return files.run([&](const QString &html) {
        return ArticleResult{replaceSynonyms(html, library, options, *segmenter), {}};
    });
}

} // namespace zorvane
