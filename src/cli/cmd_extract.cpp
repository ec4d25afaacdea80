#include "cli/article_page.h"
#include "cli/commands.h"

namespace zorvane {

int runExtract(CliContext &context)
{
    if (context.arguments().size() > 1)
        return context.usage();
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    ArticlePage page;
    QString failure;
    if (!page.open(&failure))
        return CliContext::fail(failure);
    const std::optional<QString> article = page.articleOf(*html, &failure);
    if (!article)
        return CliContext::fail(failure);
    context.print(*article);
    return CliContext::Success;
}

} // namespace zorvane
