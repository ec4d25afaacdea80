#include "checks/sensitive_words.h"
#include "cli/commands.h"
#include "settings/app_folder.h"
#include "settings/word_library.h"

int runSensitive(CliContext &context)
{
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(QStringLiteral("sensitive [FILE]"));
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    WordLibrary &library = sensitiveLibrary();
    if (library.load().isEmpty()) {
        return context.fail(QStringLiteral("the sensitive-word library %1 is missing or empty")
                                .arg(AppFolder::current().path(library.systemPath())));
    }
    const SensitiveWordsResult result = checkSensitiveWords(*text, library.text());
    context.print(result.marked);
    context.report(QStringLiteral("count=%1").arg(result.count));
    return CliContext::Success;
}
