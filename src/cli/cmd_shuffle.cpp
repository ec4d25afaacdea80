#include "cli/commands.h"
#include "cli/rewrite_options.h"
#include "rewrite/pseudo_original.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runShuffle(CliContext &context)
{
    const QString usage = u"shuffle --level 0|1|2|3 [--seed N] [FILE]"_s;
    const std::optional<QString> levelText = context.takeValue(u"--level"_s);
    bool badSeed = false;
    std::optional<QRandomGenerator> seeded = takeSeededGenerator(context, badSeed);
    const std::optional<int> level = levelText ? shuffleLevelOf(*levelText) : std::nullopt;
    if (!level || badSeed || context.usageError() || context.args().size() > 1)
        return context.usage(usage);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    context.print(shuffleStructure(*html, *level, seeded ? *seeded : *QRandomGenerator::global()));
    return CliContext::Success;
}

} // namespace zorvane
