#include "checks/loose_sensitive.h"
#include "checks/sensitive_words.h"
#include "cli/article_files.h"
#include "cli/commands.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace zorvane {

int runSensitive(CliContext &context)
{
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    const bool loose = context.isSet(u"loose"_s) || context.readSettings().checks.sensitiveLoose;
    WordLibraries &libraries = context.libraries();
    const SensitiveIndex *literal = loose ? nullptr : &libraries.sensitive();
    const LooseSensitiveIndex *looseIndex = loose ? &libraries.looseSensitive() : nullptr;
    // A missing library would pass for an article without sensitive words.
    if (!libraries.isLoaded(WordLibraries::Library::Sensitive)) {
        return context.fail(u"the sensitive-word library %1 is missing or empty"_s.arg(
            QDir::toNativeSeparators(libraries.filePath(WordLibraries::Library::Sensitive))));
    }
    if (loose && !libraries.traditionalCharsError().isEmpty())
        context.report(u"traditional forms are not matched: "_s + libraries.traditionalCharsError());
    return files.run([&](const QString &text) {
        SensitiveWordsResult result =
            loose ? checkSensitiveWordsLoose(text, *looseIndex) : checkSensitiveWords(text, *literal);
        return ArticleResult{std::move(result.marked), result.count};
    });
}

} // namespace zorvane
