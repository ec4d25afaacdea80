// Zorvane's start: from starting the program to its login window on screen,
// and from the guest button to the main window with a working editor, the
// service checks asked of the real service server (nginx on the example
// content folder, as scripts/serve-content runs it).
// Needs an X server: xvfb-run -a build/bench/bench_life --benchmark_repetitions=10
#include "editor/editor_scheme.h"
#include "main_window_fixture.h"
#include "qt_benchmark.h"
#include "settings/config_keys.h"
#include "shell/app_life.h"
#include "shell/frm_format.h"
#include "shell/frm_login.h"
#include "testsupport/served_content.h"
#include "testsupport/temp_app_folder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// How long a signal is waited for before the run counts as failed.
constexpr int WaitLimit = 60000;

double seconds(const QElapsedTimer &clock)
{
    return std::chrono::duration<double>(std::chrono::nanoseconds(clock.nsecsElapsed())).count();
}

// From starting build/app/Zorvane to its login window painted, as its
// start-up log reports it; a runtime folder of its own, so that a Zorvane
// already running does not take the start over.
void BM_ProgramStartToLoginWindow(benchmark::State &state)
{
    QTemporaryDir runtime;
    for (auto _ : state) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_LOGGING_RULES"_s, u"zorvane.startup.info=true"_s);
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        program.start(QString::fromUtf8(ZORVANE_APP_DIR "/Zorvane"), {});
        QByteArray log;
        bool shown = false;
        while (!shown && program.waitForReadyRead(30000)) {
            log += program.readAll();
            shown = log.contains("login window shown");
        }
        state.SetIterationTime(seconds(clock));
        program.kill();
        program.waitForFinished();
        if (!shown) {
            state.SkipWithError("Zorvane did not report its login window");
            return;
        }
    }
}
BENCHMARK(BM_ProgramStartToLoginWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// From the guest button to the main window's editor page answering: the four
// service checks (as at a first start: the fresh folder already holds the
// served libraries, so only their versions are asked), the main window built
// and its editor page loaded. Each run in a fresh application folder.
void BM_GuestToMainWindowReady(benchmark::State &state)
{
    ServedContent server;
    if (!server.start(QString::fromUtf8(ZORVANE_SOURCE_DIR "/deploy/example-content"))) {
        state.SkipWithError("scripts/serve-content did not start (nginx-light missing?)");
        return;
    }
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    for (auto _ : state) {
        TempAppFolder app;
        if (!installBuiltEditorPage(app) || !app.writeFile(u"\\Patchwell", "#!/bin/sh\n")
            || !setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(server.port()))) {
            state.SkipWithError("no application folder");
            return;
        }
        AppLife life;
        life.setMessageSink([](const QString &) {});
        if (life.start()) {
            state.SkipWithError("another copy runs");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(0, life.loginWindow()->cmdGuest, &QPushButton::click);
        if (!waitFor(&life, &AppLife::mainWindowOpened, WaitLimit)
            || !waitFor(life.mainWindow(), &frmFormat::editorReady, WaitLimit)) {
            state.SkipWithError("no main window");
            return;
        }
        state.SetIterationTime(seconds(clock));
    }
}
BENCHMARK(BM_GuestToMainWindowReady)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    registerEditorScheme();
    return runBenchmarks<QApplication>(argc, argv);
}
