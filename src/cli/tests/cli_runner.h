#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace zorvane {

// Runs the real zorvane-cli program against an application folder.
struct CliRun
{
    int exitCode = -1; // -1: crashed, or killed for running too long
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
};

namespace CliRunner {

inline QStringList arguments(const QString &appDir, const QStringList &args)
{
    using namespace Qt::StringLiterals;
    return appDir.isEmpty() ? args : QStringList{u"--app-dir"_s, appDir} + args;
}

inline CliRun result(QProcess &process)
{
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace CliRunner

// Blocks until the program ends: for commands that need nothing of this
// process while they run.
inline CliRun runCli(const QString &appDir, const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    process.start(QString::fromUtf8(ZORVANE_CLI), CliRunner::arguments(appDir, args));
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return CliRunner::result(process);
}

// Waits for the program on the event loop, for commands that talk to a fake
// server living in this process: a blocking wait would stall the server, and
// the command with it. A program still running after limitMs is killed and
// reads as exit code -1 with no output.
inline CliRun runCliServing(const QString &appDir, const QStringList &args, const QByteArray &input = {},
                            int limitMs = 60000)
{
    QProcess process;
    process.start(QString::fromUtf8(ZORVANE_CLI), CliRunner::arguments(appDir, args));
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, limitMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return CliRunner::result(process);
}

} // namespace zorvane
