#include "cli/commands.h"
#include "net/service_checks.h"
#include "net/service_client.h"

#include <QDir>
#include <QEventLoop>

using namespace Qt::StringLiterals;

namespace zorvane {

// The service checks of a start, without windows: every fetch is made and
// the libraries and their settings are written as at a start, but an
// announced update is only printed, never installed.
int runService(CliContext &context)
{
    if (context.arguments() != QStringList{u"check"_s})
        return context.usage();

    ServiceClient client;
    ServiceChecks checks(client, ServiceChecks::UpdatePolicy::Continue);
    QString update;
    QStringList libraries;
    QStringList failures;
    QList<Notice> notices;
    QEventLoop loop;
    QObject::connect(&checks, &ServiceChecks::updateChecked, &loop, [&](const QString &reply) { update = reply; });
    QObject::connect(&checks, &ServiceChecks::libraryChecked, &loop, [&](const LibraryCheck &check) {
        const QString name = check.library == ServedLibrary::ErrorWords ? u"errorwords"_s : u"samewords"_s;
        switch (check.outcome) {
        case LibraryCheck::Outcome::Unchanged:
            libraries << name + u"=unchanged"_s;
            break;
        case LibraryCheck::Outcome::Updated:
            libraries << name + u"=updated "_s + QString::number(check.count);
            break;
        case LibraryCheck::Outcome::WriteFailed:
            libraries << name + u"=failed"_s;
            failures << u"cannot write "_s + QDir::toNativeSeparators(check.failedAt);
            break;
        }
    });
    QObject::connect(&checks, &ServiceChecks::finished, &loop, [&](const QList<Notice> &got) {
        notices = got;
        loop.quit();
    });
    checks.start();
    loop.exec();

    context.printLine(u"update="_s + update);
    for (const Notice &notice : std::as_const(notices))
        context.printLine(u"notice="_s + notice.text + u'|' + notice.link);
    for (const QString &line : std::as_const(libraries))
        context.printLine(line);
    // An unreachable server is the empty replies' ordinary path; only a
    // library that arrived and could not be stored is a failure.
    for (const QString &failure : std::as_const(failures))
        context.report(u"zorvane-cli: "_s + failure);
    return failures.isEmpty() ? CliContext::Success : CliContext::Failure;
}

} // namespace zorvane
