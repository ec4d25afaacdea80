#include "cli/commands.h"
#include "rewrite/pseudo_original.h"
#include "rewrite/synonyms.h"

int runSynonyms(CliContext &context)
{
    if (context.args().size() > 1)
        return context.usage(QStringLiteral("synonyms [FILE]"));
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    const QString &library = loadedSynonymLibrary();
    if (library.isEmpty())
        context.report(QStringLiteral("zorvane-cli: the synonym library data/same.dat is missing or empty"));
    context.print(replaceSynonyms(*html, library));
    return CliContext::Success;
}
