#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// Runs the real zorvane-cli program against an application folder.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QString &appDir, const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    QStringList all;
    if (!appDir.isEmpty())
        all << QStringLiteral("--app-dir") << appDir;
    all << args;
    process.start(QStringLiteral(ZORVANE_CLI), all);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}
