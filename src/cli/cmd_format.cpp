#include "cli/article_files.h"
#include "cli/article_page.h"
#include "cli/commands.h"
#include "format/format_html.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runFormat(CliContext &context)
{
    FormatMode mode = FormatMode::OneKeyFormat;
    if (context.isSet(u"mode"_s)) {
        const QString value = context.value(u"mode"_s);
        if (value == u"0")
            mode = FormatMode::Plain;
        else if (value == u"1")
            mode = FormatMode::OneKeyFormat;
        else if (value == u"2")
            mode = FormatMode::PseudoOriginal;
        else
            return context.usage();
    }
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    const SettingsSnapshot settings = context.readSettings();
    const TypoIndex &typos = context.libraries().typosFor(mode, settings.format);

    // The page keeps the article of a whole page first, on this thread, one
    // article after the other; the formatting runs on the workers.
    ArticlePage page;
    ArticleStep keepArticle;
    if (context.isSet(u"article"_s)) {
        QString failure;
        if (!page.open(&failure))
            return CliContext::fail(failure);
        keepArticle = [&page](const QString &html, QString *failure) { return page.articleOf(html, failure); };
    }
    return files.run(
        [&](const QString &html) {
            return ArticleResult{FormatHtml(html, mode, settings.format, settings.checks, typos), {}};
        },
        keepArticle);
}

} // namespace zorvane
