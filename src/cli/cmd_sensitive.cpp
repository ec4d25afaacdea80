#include "checks/sensitive_words.h"
#include "cli/commands.h"
#include "settings/app_folder.h"
#include "settings/word_library.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runSensitive(CliContext &context)
{
    if (context.args().size() > 1 || (!context.args().isEmpty() && context.args().first().startsWith(u"--")))
        return context.usage(u"sensitive [FILE]"_s);
    const std::optional<QString> text = context.readInput();
    if (!text)
        return CliContext::Failure;
    WordLibrary &library = sensitiveLibrary();
    if (library.load().isEmpty()) {
        return context.fail(u"the sensitive-word library %1 is missing or empty"_s.arg(
            AppFolder::current().path(library.systemPath())));
    }
    const SensitiveWordsResult result = checkSensitiveWords(*text, library.text());
    context.print(result.marked);
    context.report(u"count=%1"_s.arg(result.count));
    return CliContext::Success;
}

} // namespace zorvane
