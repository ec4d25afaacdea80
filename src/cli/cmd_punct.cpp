#include "checks/typo_check.h"
#include "cli/commands.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runPunct(CliContext &context)
{
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(u"punct [FILE]"_s);
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    context.print(fixPunctuation(*text));
    return CliContext::Success;
}

} // namespace zorvane
