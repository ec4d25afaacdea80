#include "cli/article_files.h"
#include "cli/commands.h"
#include "cli/rewrite_options.h"
#include "rewrite/pseudo_original.h"
#include "snapshot/settings_snapshot.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runShuffle(CliContext &context)
{
    const std::optional<int> level =
        context.isSet(u"level"_s) ? shuffleLevelOf(context.value(u"level"_s)) : std::nullopt;
    const SeedOption seed = seedOption(context);
    ArticleFiles files(context);
    if (!level || seed.bad || files.usageError())
        return context.usage();
    const FormatOptions format = context.readSettings().format;
    return files.run([&](const QString &html) {
        return withGenerator(seed.seed, [&](QRandomGenerator &random) {
            return ArticleResult{shuffleStructure(html, *level, format, random), {}};
        });
    });
}

} // namespace zorvane
