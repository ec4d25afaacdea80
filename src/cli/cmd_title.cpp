#include "checks/title_search.h"
#include "cli/commands.h"

#include <QEventLoop>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// One hit a line: a line break or tab inside a field would break the columns.
QString field(QString text)
{
    text.replace(u'\t', u' ');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

int runTitle(CliContext &context)
{
    const bool fuzzy = context.isSet(u"fuzzy"_s);
    const QStringList &words = context.arguments();

    TitleSearch search;
    QEventLoop loop;
    int status = CliContext::Success;
    QObject::connect(&search, &TitleSearch::finished, &loop, [&](const TitlePage &page) {
        context.printLine(u"count="_s + page.count);
        for (const TitleHit &hit : page.hits)
            context.printLine(field(hit.caption()) + u'\t' + field(hit.time) + u'\t' + field(hit.link));
        loop.quit();
    });
    QObject::connect(&search, &TitleSearch::failed, &loop, [&](const QString &message) {
        context.report(message);
        status = CliContext::Failure;
        loop.quit();
    });
    if (!search.start(words.join(u' '), fuzzy ? TitleSearchMode::Fuzzy : TitleSearchMode::Exact))
        return context.usage();
    loop.exec();
    return status;
}

} // namespace zorvane
