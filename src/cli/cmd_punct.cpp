#include "checks/typo_check.h"
#include "cli/article_files.h"
#include "cli/commands.h"
#include "snapshot/settings_snapshot.h"

namespace zorvane {

int runPunct(CliContext &context)
{
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    const CheckOptions checks = context.readSettings().checks;
    return files.run([&](const QString &text) { return ArticleResult{fixPunctuation(text, checks.typoMark), {}}; });
}

} // namespace zorvane
