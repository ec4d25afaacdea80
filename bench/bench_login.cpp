// The forum login against a fake forum on 127.0.0.1: from pressing cmdLogin
// to the login window reporting success (the saved login written, four
// requests, the avatar fetched and written), and the dialogue alone.
// Runs offscreen: build/bench/bench_login --benchmark_repetitions=10
#include "fake_forum.h"
#include "net/forum_login.h"
#include "qt_benchmark.h"
#include "shell/frm_login.h"
#include "testsupport/temp_app_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// How long a signal is waited for before the run counts as failed.
constexpr int WaitLimit = 10000;

void BM_CmdLoginToSuccess(benchmark::State &state)
{
    TempAppFolder app;
    for (auto _ : state) {
        FakeForum forum;
        forum.serve();
        frmLogin window;
        window.chkRmbPwd->setChecked(true);
        window.txtUserName->setText(u"张三"_s);
        window.txtPassword->setText(u"p&w 中"_s);
        QElapsedTimer clock;
        clock.start();
        window.cmdLogin->click();
        if (!waitFor(&window, &frmLogin::loginFinished, WaitLimit)) {
            state.SkipWithError("no login");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::nanoseconds(clock.nsecsElapsed())).count());
    }
}
BENCHMARK(BM_CmdLoginToSuccess)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DialogueOnly(benchmark::State &state)
{
    TempAppFolder app;
    for (auto _ : state) {
        FakeForum forum;
        forum.serve();
        ForumLogin login;
        QElapsedTimer clock;
        clock.start();
        login.start(u"张三"_s, u"p&w 中"_s);
        if (!waitFor(&login, &ForumLogin::succeeded, WaitLimit)) {
            state.SkipWithError("no login");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::nanoseconds(clock.nsecsElapsed())).count());
    }
}
BENCHMARK(BM_DialogueOnly)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarks<QApplication>(argc, argv);
}
