#include "checks/typo_check.h"
#include "cli/commands.h"
#include "settings/app_folder.h"
#include "settings/word_library.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runTypos(CliContext &context)
{
    const bool replace = context.takeFlag(u"--replace"_s);
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(u"typos [--replace] [FILE]"_s);
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    WordLibrary &library = typoLibrary();
    if (library.load().isEmpty()) {
        return context.fail(
            u"the typo library %1 is missing or empty"_s.arg(AppFolder::current().path(library.systemPath())));
    }
    int count = 0;
    const QString result = markTypos(*text, library.text(), replace ? TypoMark::Replace : TypoMark::Mark, count);
    context.print(result);
    context.report(u"count=%1"_s.arg(count));
    return CliContext::Success;
}

} // namespace zorvane
