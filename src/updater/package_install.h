#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QProcess;
class QTimer;

namespace zorvane {

// The installation script of a package: /bin/sh runs it with the application
// folder as working folder, and the run waits for it before the next
// package's pieces overwrite this one's. A script that outlives the limit is
// ended together with everything it started.
class InstallScript : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Succeeded,  // exit status 0
        Failed,     // any other exit status
        Crashed,    // ended by a signal
        TimedOut,   // ran past the limit and was ended
        NotStarted, // /bin/sh could not be started
    };
    Q_ENUM(Outcome)

    static constexpr std::chrono::milliseconds defaultTimeout = std::chrono::minutes(5);

    explicit InstallScript(QObject *parent = nullptr);
    // A script still running is left to finish: cutting an installation
    // short when the updater closes would leave the program half replaced.
    ~InstallScript() override;

    void start(const QString &scriptPath, const QString &workingFolder,
               std::chrono::milliseconds timeout = defaultTimeout);
    bool isRunning() const;

Q_SIGNALS:
    // `exitCode` is the script's exit status for Succeeded and Failed.
    void finished(InstallScript::Outcome outcome, int exitCode);

private:
    void end(Outcome outcome, int exitCode);

    QProcess *m_process = nullptr;
    QTimer *m_limit;
};

} // namespace zorvane
