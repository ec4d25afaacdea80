#pragma once

#include "updater/download_progress.h"
#include "updater/minisign.h"
#include "updater/package_download.h"
#include "updater/package_install.h"
#include "updater/update_list.h"

#include <QBuffer>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QTemporaryFile;
class QThread;

namespace zorvane {

class ServiceClient;

// One run of the updater over the current application folder: ask the
// service server for the pending packages, then, once confirmed, download,
// check, save, split and install each in list order, and record the version
// after the last. Everything a user sees arrives as signals, so the window
// and zorvane-cli show the same run.
//
// Each package is streamed to a temporary file in "\update\" and takes its
// name "\update\" + name + ".md" only once complete and, when the folder holds
// the maker's key "\setting\update.pub", once its signature (the package path
// + ".minisig") is good; only then is it split. Its script is waited for
// before the next package's pieces are written. Any failure ends the run
// with the settings keys unchanged; packages installed before it stay.
class UpdateRun : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Installed, NoUpdate, Failed };
    Q_ENUM(Outcome)

    explicit UpdateRun(QObject *parent = nullptr);
    ~UpdateRun() override;

    void setScriptTimeout(std::chrono::milliseconds timeout) { m_scriptTimeout = timeout; }

    // Asks for the list; ends on noUpdate, updatesFound or a refused list.
    void start();
    // After updatesFound: installs the packages.
    void proceed();

    const QList<UpdatePackage> &packages() const { return m_packages; }
    // What went wrong, in a line for a log (the status text says it to the user).
    QString failureDetail() const { return m_failureDetail; }

Q_SIGNALS:
    void statusChanged(const QString &text);
    void progressChanged(const DownloadProgress &progress);
    void noUpdate(const QString &message);
    void updatesFound(int count, const QString &message);
    // Package `number` (from 1) is saved, split, and its script has ended.
    void packageInstalled(int number, const QString &name);
    void finished(UpdateRun::Outcome outcome);

private:
    enum class Phase { Idle, Listing, Confirming, Signature, Package, Preparing, Script, Done };

    void onList(const QString &reply);
    void downloadCurrent();
    void fetchPackage();
    void onDownloadProgress(qint64 lastIndex, qint64 contentLength);
    void onDownloadFinished();
    void onDownloadFailed(PackageDownload::Failure reason);
    void prepareCurrent();
    void onScriptFinished(InstallScript::Outcome outcome, int exitCode);
    void packageDone();
    void fail(const QString &status, const QString &detail);
    void dropPartialFile();

    QString updateFolder() const;
    const UpdatePackage &current() const { return m_packages.at(m_current); }

    ServiceClient *m_service;
    PackageDownload *m_download;
    InstallScript *m_script;
    QThread *m_worker = nullptr;
    Phase m_phase = Phase::Idle;
    QList<UpdatePackage> m_packages;
    int m_current = 0;
    std::chrono::milliseconds m_scriptTimeout = InstallScript::defaultTimeout;

    bool m_keyFilePresent = false;
    std::optional<MinisignPublicKey> m_key;
    QBuffer m_signature;
    std::unique_ptr<QTemporaryFile> m_partial; // the package while it arrives
    QString m_preparedPath;                    // the arrived package while a worker checks it
    std::optional<DownloadProgress> m_lastProgress;
    QString m_failureDetail;
};

} // namespace zorvane
