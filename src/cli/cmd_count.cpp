#include "checks/word_count.h"
#include "cli/commands.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runCount(CliContext &context)
{
    if (context.arguments().size() > 1)
        return context.usage();
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    context.printLine(wordCountCaption(countWords(*html)));
    return CliContext::Success;
}

} // namespace zorvane
