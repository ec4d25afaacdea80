#pragma once

#include "net/update_list.h"
#include "updater/download_progress.h"
#include "updater/minisign.h"
#include "updater/package_download.h"
#include "updater/package_install.h"
#include "updater/run_lock.h"

#include <QBuffer>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QThread;

namespace zorvane {

class PackageSink;
class ServiceClient;

// The largest package a download takes when the update folder has
// `freeBytes` free (negative: unknown): 4 GiB, and 64 MiB less than the free
// space, which the pieces, the settings and the system still need.
qint64 packageSizeLimit(qint64 freeBytes);

// One run of the updater over the current application folder: ask the
// service server for the pending packages, then, once confirmed, download,
// check, save, split and install each in list order. Everything a user sees
// arrives as signals, so the window and zorvane-cli show the same run.
//
// Only what the maker signed is installed: every package needs a minisign
// signature (its path + ".minisig") made with the key "\setting\update.pub"
// and carrying, as its trusted comment, the name and stamp the list gives it.
// Without the key nothing is downloaded. A package whose stamp is not newer
// than the recorded one is skipped, never installed again.
//
// Each package is streamed into temporary files in "\update\" and takes its
// name "\update\" + name + ".md", its pieces theirs, only once its signature
// is good. Its script is waited for before the next package's pieces are
// written, and once it ended well the package is recorded as installed, so a
// run stopped half-way resumes after it. Any failure ends the run; packages
// installed before it stay installed and recorded.
//
// One run at a time per application folder: a second is refused
// (alreadyRunning) while the first holds the folder.
class UpdateRun : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Installed, NoUpdate, Failed, AlreadyRunning };
    Q_ENUM(Outcome)

    explicit UpdateRun(QObject *parent = nullptr);
    ~UpdateRun() override;

    void setScriptTimeout(std::chrono::milliseconds timeout) { m_scriptTimeout = timeout; }

    // Takes the folder and asks for the list; ends on noUpdate,
    // alreadyRunning, updatesFound or a refusal.
    void start();
    // After updatesFound: installs the packages.
    void proceed();

    // The packages to install, once found.
    const QList<UpdatePackage> &packages() const { return m_packages; }
    // A package is downloading, being checked or running its script: leaving
    // now would cut an installation short.
    bool isInstalling() const;
    // What went wrong, in a line for a log (the status text says it to the user).
    QString failureDetail() const { return m_failureDetail; }

Q_SIGNALS:
    void statusChanged(const QString &text);
    void progressChanged(const DownloadProgress &progress);
    void noUpdate(const QString &message);
    void alreadyRunning(const QString &message);
    void updatesFound(int count, const QString &message);
    // Package `number` (from 1) is saved, split, its script has ended and it
    // is recorded as installed.
    void packageInstalled(int number, const QString &name);
    void finished(UpdateRun::Outcome outcome);

private:
    enum class Phase { Idle, Listing, Confirming, Signature, Package, Preparing, Script, Done };

    void takeFolder();
    void onList(const QString &reply);
    void downloadCurrent();
    void fetchPackage();
    void onDownloadProgress(qint64 lastIndex, qint64 contentLength);
    void onDownloadFinished();
    void onDownloadFailed(PackageDownload::Failure reason);
    void prepareCurrent();
    void onScriptFinished(InstallScript::Outcome outcome, int exitCode);
    void packageDone();
    void stop();
    void fail(const QString &status, const QString &detail);

    QString updateFolder() const;
    const UpdatePackage &current() const { return m_packages.at(m_current); }

    ServiceClient *m_service;
    PackageDownload *m_download;
    InstallScript *m_script;
    QThread *m_worker = nullptr;
    RunLock m_lock;
    Phase m_phase = Phase::Idle;
    QList<UpdatePackage> m_packages;
    int m_current = 0;
    std::chrono::milliseconds m_scriptTimeout = InstallScript::defaultTimeout;

    std::optional<MinisignPublicKey> m_key;
    QBuffer m_signature;
    bool m_prehashed = true;
    qint64 m_sizeLimit = 0;
    std::unique_ptr<PackageSink> m_sink; // the package while it arrives and is checked
    std::optional<DownloadProgress> m_lastProgress;
    QString m_failureDetail;
};

} // namespace zorvane
