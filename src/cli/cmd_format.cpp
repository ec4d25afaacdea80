#include "cli/commands.h"
#include "format/format_html.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runFormat(CliContext &context)
{
    const QString usage = u"format [--mode 0|1|2] [--article] [FILE]"_s;
    const bool articleOnly = context.takeFlag(u"--article"_s);
    FormatMode mode = FormatMode::OneKeyFormat;
    if (const std::optional<QString> value = context.takeValue(u"--mode"_s)) {
        if (*value == u"0")
            mode = FormatMode::Plain;
        else if (*value == u"1")
            mode = FormatMode::OneKeyFormat;
        else if (*value == u"2")
            mode = FormatMode::PseudoOriginal;
        else
            return context.usage(usage);
    }
    if (context.usageError() || context.args().size() > 1)
        return context.usage(usage);
    std::optional<QString> html = context.readInput();
    if (html && articleOnly)
        html = articleOf(context, *html);
    if (!html)
        return CliContext::Failure;
    context.print(FormatHtml(*html, mode));
    return CliContext::Success;
}

} // namespace zorvane
