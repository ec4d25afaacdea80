#include "checks/typo_check.h"
#include "cli/article_files.h"
#include "cli/commands.h"
#include "snapshot/word_libraries.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace zorvane {

int runTypos(CliContext &context)
{
    const TypoMark mark = context.isSet(u"replace"_s) ? TypoMark::Replace : TypoMark::Mark;
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    WordLibraries &libraries = context.libraries();
    const TypoIndex &library = libraries.typos();
    // A missing library would pass for an article without typos.
    if (!libraries.isLoaded(WordLibraries::Library::Typos)) {
        return context.fail(u"the typo library %1 is missing or empty"_s.arg(
            QDir::toNativeSeparators(libraries.filePath(WordLibraries::Library::Typos))));
    }
    return files.run([&](const QString &text) {
        int count = 0;
        QString marked = markTypos(text, library, mark, count);
        return ArticleResult{std::move(marked), count};
    });
}

} // namespace zorvane
