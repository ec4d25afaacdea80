#pragma once

// What the benchmarks that run Qt's event loop share: waiting for a signal,
// and Google Benchmark's main() with the application object alive around
// the runs.

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <benchmark/benchmark.h>

// Runs the event loop until signal comes from sender; false after limitMs.
template <typename Sender, typename Signal>
bool waitFor(const Sender *sender, Signal signal, int limitMs)
{
    QEventLoop loop;
    bool arrived = false;
    QObject::connect(sender, signal, &loop, [&] {
        arrived = true;
        loop.quit();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return arrived;
}

// App: QCoreApplication, or QApplication for windows (the image codecs are
// plugins, found through either).
template <typename App>
int runBenchmarks(int argc, char **argv)
{
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
