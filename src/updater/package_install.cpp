#include "updater/package_install.h"

#include "updater/package_format.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>

#include <memory>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorvane {

PieceWriteResult writePackagePieces(const QString &packageFile, const QString &updateFolder)
{
    PieceWriteResult result;
    QFile package(packageFile);
    if (!package.open(QIODevice::ReadOnly)) {
        result.error = u"cannot read %1: %2"_s.arg(packageFile, package.errorString());
        return result;
    }
    std::unique_ptr<QSaveFile> piece;
    auto commitPiece = [&]() {
        if (!piece)
            return true;
        const bool committed = piece->commit();
        if (!committed)
            result.error = u"cannot write %1: %2"_s.arg(piece->fileName(), piece->errorString());
        else
            ++result.pieces;
        piece.reset();
        return committed;
    };

    PackageSplitter splitter;
    splitter.pieceStarted = [&](int index) {
        if (!commitPiece())
            return false;
        piece = std::make_unique<QSaveFile>(QDir(updateFolder).filePath(Package::pieceFileName(index)));
        if (!piece->open(QIODevice::WriteOnly)) {
            result.error = u"cannot write %1: %2"_s.arg(piece->fileName(), piece->errorString());
            return false;
        }
        return true;
    };
    splitter.pieceData = [&](QByteArrayView bytes) {
        if (piece->write(bytes.constData(), bytes.size()) == bytes.size())
            return true;
        result.error = u"cannot write %1: %2"_s.arg(piece->fileName(), piece->errorString());
        return false;
    };

    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = package.read(block.data(), block.size());
        if (got < 0) {
            result.error = u"cannot read %1: %2"_s.arg(packageFile, package.errorString());
            return result;
        }
        if (got == 0)
            break;
        if (!splitter.feed(QByteArrayView(block.constData(), got)))
            return result;
    }
    if (!splitter.finish() || !commitPiece())
        return result;
    result.ok = true;
    return result;
}

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
