#include "cli/commands.h"
#include "format/format_html.h"

using namespace Qt::StringLiterals;

int runFormat(CliContext &context)
{
    const QString usage = u"format [--mode 0|1|2] [FILE]"_s;
    int mode = 1;
    if (const std::optional<QString> value = context.takeValue(u"--mode"_s)) {
        if (*value == u"0" || *value == u"1" || *value == u"2")
            mode = value->toInt();
        else
            return context.usage(usage);
    }
    if (context.usageError() || context.args().size() > 1)
        return context.usage(usage);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    context.print(FormatHtml(*html, mode));
    return CliContext::Success;
}
