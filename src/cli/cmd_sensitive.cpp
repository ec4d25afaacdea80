#include "checks/sensitive_words.h"
#include "cli/article_files.h"
#include "cli/commands.h"
#include "snapshot/word_libraries.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace zorvane {

int runSensitive(CliContext &context)
{
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    WordLibraries &libraries = context.libraries();
    const SensitiveIndex &library = libraries.sensitive();
    // A missing library would pass for an article without sensitive words.
    if (!libraries.isLoaded(WordLibraries::Library::Sensitive)) {
        return context.fail(u"the sensitive-word library %1 is missing or empty"_s.arg(
            QDir::toNativeSeparators(libraries.filePath(WordLibraries::Library::Sensitive))));
    }
    return files.run([&](const QString &text) {
        SensitiveWordsResult result = checkSensitiveWords(text, library);
        return ArticleResult{std::move(result.marked), result.count};
    });
}

} // namespace zorvane
