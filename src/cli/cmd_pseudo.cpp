#include "cli/commands.h"
#include "cli/rewrite_options.h"
#include "rewrite/pseudo_original.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runPseudo(CliContext &context)
{
    const QString usage = u"pseudo [--synonyms] [--shuffle 0|1|2|3] [--seed N] [FILE]"_s;
    PseudoOriginalOptions options;
    options.replaceSynonyms = context.takeFlag(u"--synonyms"_s);
    if (const std::optional<QString> levelText = context.takeValue(u"--shuffle"_s)) {
        const std::optional<int> level = shuffleLevelOf(*levelText);
        if (!level)
            return context.usage(usage);
        options.changeOrder = true;
        options.level = *level;
    }
    bool badSeed = false;
    std::optional<QRandomGenerator> seeded = takeSeededGenerator(context, badSeed);
    if (badSeed || context.usageError() || context.args().size() > 1)
        return context.usage(usage);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    const std::optional<QString> result =
        oneKeyPseudoOriginal(*html, options, seeded ? *seeded : *QRandomGenerator::global());
    if (!result)
        return context.fail(u"no shuffle strength chosen"_s);
    context.print(*result);
    return CliContext::Success;
}

} // namespace zorvane
