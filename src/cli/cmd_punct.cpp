#include "checks/typo_check.h"
#include "cli/commands.h"

int runPunct(CliContext &context)
{
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(QStringLiteral("punct [FILE]"));
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    context.print(fixPunctuation(*text));
    return CliContext::Success;
}
