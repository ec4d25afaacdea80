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
    using namespace Qt::StringLiterals;
    QProcess process;
    QStringList all;
    if (!appDir.isEmpty())
        all << u"--app-dir"_s << appDir;
    all << args;
    process.start(QString::fromUtf8(ZORVANE_CLI), all);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}
