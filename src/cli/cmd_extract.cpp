#include "cli/commands.h"
#include "editor/editor_host.h"
#include "editor/windowless_editor.h"
#include "settings/app_folder.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorvane {

std::optional<QString> articleOf(CliContext &context, const QString &html)
{
    const QString lib = AppFolder::current().path(u"\\lib");
    if (!QFileInfo::exists(lib + u"/index.html"_s)) {
        context.fail(u"no editor page at %1/index.html"_s.arg(lib));
        return std::nullopt;
    }
    WindowlessEditor editor;
    if (!editor.open(lib)) {
        context.fail(u"the editor page did not start"_s);
        return std::nullopt;
    }
    std::optional<QString> article = keepArticle(editor.host(), html);
    if (!article)
        context.fail(u"the editor page did not answer"_s);
    return article;
}

int runExtract(CliContext &context)
{
    if (context.args().size() > 1)
        return context.usage(u"extract [FILE]"_s);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    const std::optional<QString> article = articleOf(context, *html);
    if (!article)
        return CliContext::Failure;
    context.print(*article);
    return CliContext::Success;
}

} // namespace zorvane
