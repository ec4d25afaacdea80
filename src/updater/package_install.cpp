#include "updater/package_install.h"

#include <QProcess>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorvane {

InstallScript::InstallScript(QObject *parent) : QObject(parent), m_limit(new QTimer(this))
{
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this] {
        if (!isRunning())
            return;
        // The script's own process group: whatever it started goes with it.
        // The process is reaped when it is gone; nothing waits for that.
        ::kill(-pid_t(m_process->processId()), SIGKILL);
        end(Outcome::TimedOut, -1);
    });
}

InstallScript::~InstallScript()
{
    if (isRunning()) {
        // Deliberately left alive: deleting a QProcess kills its process.
        m_process->disconnect(this);
        m_process->setParent(nullptr);
        m_process = nullptr;
    }
}

bool InstallScript::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void InstallScript::start(const QString &scriptPath, const QString &workingFolder, std::chrono::milliseconds timeout)
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
    }
    m_process = new QProcess(this);
    m_process->setProgram(u"/bin/sh"_s);
    m_process->setArguments({scriptPath});
    m_process->setWorkingDirectory(workingFolder);
    // Like the hidden window it once had: no input, output not kept. Its
    // error output still reaches the updater's, for whoever looks.
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        if (status == QProcess::CrashExit)
            end(Outcome::Crashed, -1);
        else
            end(exitCode == 0 ? Outcome::Succeeded : Outcome::Failed, exitCode);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(Outcome::NotStarted, -1);
    });
    m_limit->start(timeout);
    m_process->start();
}

void InstallScript::end(Outcome outcome, int exitCode)
{
    // One report per script: nothing the process does afterwards counts.
    m_limit->stop();
    m_process->disconnect(this);
    Q_EMIT finished(outcome, exitCode);
}

} // namespace zorvane
