#include "cli/commands.h"

#include "updater/update_run.h"

#include <QEventLoop>

using namespace Qt::StringLiterals;

namespace zorvane {

// The updater's run without its window: every status text on standard error,
// the updates found taken as confirmed, and Zorvane not started afterwards.
int runUpdate(CliContext &context)
{
    if (!context.arguments().isEmpty())
        return context.usage();

    UpdateRun run;
    QEventLoop loop;
    int exitCode = CliContext::Failure;
    QObject::connect(&run, &UpdateRun::statusChanged, &run, [&context](const QString &text) { context.report(text); });
    QObject::connect(&run, &UpdateRun::noUpdate, &run, [&context](const QString &text) { context.report(text); });
    QObject::connect(&run, &UpdateRun::alreadyRunning, &run, [&context](const QString &text) { context.report(text); });
    QObject::connect(&run, &UpdateRun::updatesFound, &run, [&context, &run](int, const QString &text) {
        context.report(text);
        run.proceed();
    });
    QObject::connect(&run, &UpdateRun::finished, &run, [&](UpdateRun::Outcome outcome) {
        if (outcome == UpdateRun::Outcome::Failed && !run.failureDetail().isEmpty())
            context.report(run.failureDetail());
        // Another run's packages are not this one's success.
        const bool done = outcome == UpdateRun::Outcome::Installed || outcome == UpdateRun::Outcome::NoUpdate;
        exitCode = done ? CliContext::Success : CliContext::Failure;
        loop.quit();
    });
    run.start();
    loop.exec();
    return exitCode;
}

} // namespace zorvane
