#include "checks/site_statistics.h"
#include "cli/commands.h"

#include <QEventLoop>
#include <QMap>

using namespace Qt::StringLiterals;

namespace zorvane {

int runSeo(CliContext &context)
{
    const QStringList &words = context.arguments();

    SiteStatistics statistics;
    QEventLoop loop;
    QMap<SeoFigure, QString> figures;
    bool failed = false;
    QObject::connect(&statistics, &SiteStatistics::figureChanged, &loop,
                     [&](SeoFigure figure, const QString &text) { figures[figure] = text; });
    QObject::connect(&statistics, &SiteStatistics::networkFailure, &loop, [&](const QString &message) {
        failed = true;
        context.report(message);
    });
    QObject::connect(&statistics, &SiteStatistics::finished, &loop, &QEventLoop::quit);
    if (!statistics.start(words.join(u' ')))
        return context.usage();
    loop.exec();

    for (const SeoFigure figure : allSeoFigures())
        context.printLine(seoFigureLabel(figure) + u'=' + figures.value(figure));
    return failed ? CliContext::Failure : CliContext::Success;
}

} // namespace zorvane
