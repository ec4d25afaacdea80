// Patchwell: brings the installation of Zorvane in its own folder up to date.
// Its command line is ignored.
#include "updater/form1.h"
#include "updater/update_run.h"

#include <QApplication>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// A failed update says why on standard error; QT_LOGGING_RULES=
// "patchwell.update.info=true" also tells each stage of the run.
Q_LOGGING_CATEGORY(lcUpdate, "patchwell.update", QtWarningMsg)

void logRun(const UpdateRun *run)
{
    QObject::connect(run, &UpdateRun::noUpdate, run, [] { qCInfo(lcUpdate, "no update"); });
    QObject::connect(run, &UpdateRun::updatesFound, run,
                     [](int count, const QString &) { qCInfo(lcUpdate, "%d update(s) found", count); });
    QObject::connect(run, &UpdateRun::packageInstalled, run, [](int number, const QString &name) {
        qCInfo(lcUpdate, "package %d installed: %s", number, qPrintable(name));
    });
    QObject::connect(run, &UpdateRun::finished, run, [run](UpdateRun::Outcome outcome) {
        if (outcome == UpdateRun::Outcome::Failed)
            qCWarning(lcUpdate, "update stopped: %s", qPrintable(run->failureDetail()));
        else if (outcome == UpdateRun::Outcome::Installed)
            qCInfo(lcUpdate, "version %s recorded", qPrintable(run->packages().constLast().name));
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Patchwell"_s);
    // The window is hidden while the first message shows; the updater ends
    // when the window says so, not when the message closes.
    QApplication::setQuitOnLastWindowClosed(false);
    Form1 window;
    logRun(window.run());
    QObject::connect(&window, &Form1::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    window.start();
    return app.exec();
}
