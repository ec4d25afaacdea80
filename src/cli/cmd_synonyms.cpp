#include "cli/commands.h"
#include "rewrite/pseudo_original.h"
#include "rewrite/synonyms.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runSynonyms(CliContext &context)
{
    if (context.args().size() > 1)
        return context.usage(u"synonyms [FILE]"_s);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    const QString &library = loadedSynonymLibrary();
    if (library.isEmpty())
        context.report(u"zorvane-cli: the synonym library data/same.dat is missing or empty"_s);
    context.print(replaceSynonyms(*html, library));
    return CliContext::Success;
}

} // namespace zorvane
