#include "checks/typo_check.h"
#include "cli/commands.h"
#include "settings/app_folder.h"
#include "settings/word_library.h"

int runTypos(CliContext &context)
{
    const bool replace = context.takeFlag(QStringLiteral("--replace"));
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(QStringLiteral("typos [--replace] [FILE]"));
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    WordLibrary &library = typoLibrary();
    if (library.load().isEmpty()) {
        return context.fail(QStringLiteral("the typo library %1 is missing or empty")
                                .arg(AppFolder::current().path(library.systemPath())));
    }
    int count = 0;
    const QString result = markTypos(*text, library.text(), replace ? 0 : 1, count);
    context.print(result);
    context.report(QStringLiteral("count=%1").arg(count));
    return CliContext::Success;
}
