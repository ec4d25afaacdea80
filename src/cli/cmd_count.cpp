#include "checks/word_count.h"
#include "cli/commands.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runCount(CliContext &context)
{
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(u"count [FILE]"_s);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    context.printLine(wordCountCaption(countWords(*html)));
    return CliContext::Success;
}

} // namespace zorvane
