#include "updater/update_run.h"

#include "net/service_client.h"
#include "settings/app_folder.h"
#include "updater/package_format.h"
#include "updater/package_sink.h"
#include "updater/update_texts.h"
#include "updater/version_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaEnum>
#include <QStorageInfo>
#include <QThread>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The signature file is a few lines; anything much bigger is not one.
constexpr qint64 largestSignatureFile = 64 * 1024;
constexpr qint64 largestPackage = qint64(4) << 30;
constexpr qint64 freeSpaceKept = qint64(64) << 20;

template <typename Enum>
QString enumName(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

QString checkName(SignatureCheck check)
{
    switch (check) {
    case SignatureCheck::Valid:
        return u"valid"_s;
    case SignatureCheck::Malformed:
        return u"not a minisign signature"_s;
    case SignatureCheck::OtherKey:
        return u"made with another key"_s;
    case SignatureCheck::Invalid:
        return u"does not match"_s;
    case SignatureCheck::Unreadable:
        return u"package unreadable"_s;
    case SignatureCheck::Unavailable:
        return u"libsodium unavailable"_s;
    }
    return {};
}

// Why a signature does not vouch for `package`, or nothing when it does.
QString signatureRefusal(const SignatureVerdict &verdict, const UpdatePackage &package)
{
    if (verdict.check != SignatureCheck::Valid)
        return u"signature "_s + checkName(verdict.check);
    if (verdict.trustedComment != Package::trustedComment(package.name, package.stamp))
        return u"signature made for another release: "_s + QString::fromUtf8(verdict.trustedComment);
    return {};
}

// The line failed rather than the server answering something refused.
bool isNetworkFailure(PackageDownload::Failure reason)
{
    using Failure = PackageDownload::Failure;
    return reason == Failure::Network || reason == Failure::TimedOut || reason == Failure::TooSlow
           || reason == Failure::ClosedEarly;
}

// What a worker thread makes of a package that has arrived.
struct Preparation
{
    enum class Result { Ready, BadSignature, NotSaved };
    Result result = Result::Ready;
    int pieces = 0;
    QString detail;
};

// Checks the package's signature and, when it is good, names the package
// and its pieces. Runs off the window's thread: a legacy signature hashes the
// whole package, and the pieces are flushed to disk before they are named.
Preparation preparePackage(PackageSink &sink, const MinisignPublicKey &key, const QByteArray &signature,
                           const UpdatePackage &package)
{
    Preparation preparation;
    const QString refusal =
        signatureRefusal(verifyFileSignature(key, signature, sink.partialPath(), sink.hash()), package);
    if (!refusal.isEmpty()) {
        preparation.result = Preparation::Result::BadSignature;
        preparation.detail = refusal;
        return preparation;
    }
    if (!sink.install()) {
        preparation.result = Preparation::Result::NotSaved;
        preparation.detail = sink.errorText();
        return preparation;
    }
    preparation.pieces = sink.pieceCount();
    return preparation;
}

} // namespace

qint64 packageSizeLimit(qint64 freeBytes)
{
    if (freeBytes < 0)
        return largestPackage;
    return qMin(largestPackage, freeBytes - freeSpaceKept);
}

UpdateRun::UpdateRun(QObject *parent)
    : QObject(parent)
    , m_service(new ServiceClient(this))
    , m_download(new PackageDownload(this))
    , m_script(new InstallScript(this))
{
    connect(m_download, &PackageDownload::progressed, this, &UpdateRun::onDownloadProgress);
    connect(m_download, &PackageDownload::finished, this, &UpdateRun::onDownloadFinished);
    connect(m_download, &PackageDownload::failed, this, &UpdateRun::onDownloadFailed);
    connect(m_script, &InstallScript::finished, this, &UpdateRun::onScriptFinished);
}

UpdateRun::~UpdateRun()
{
    if (m_worker) {
        // Checking or naming ends on its own; the files must not be left
        // half written.
        m_worker->disconnect(this);
        m_worker->wait();
        delete std::exchange(m_worker, nullptr);
    }
}

QString UpdateRun::updateFolder() const
{
    return AppFolder::current().path(u"\\update\\");
}

bool UpdateRun::isInstalling() const
{
    switch (m_phase) {
    case Phase::Signature:
    case Phase::Package:
    case Phase::Preparing:
    case Phase::Script:
        return true;
    case Phase::Idle:
    case Phase::Listing:
    case Phase::Confirming:
    case Phase::Done:
        break;
    }
    return false;
}

void UpdateRun::start()
{
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Listing;
    // What start() leads to always comes from the event loop, as a fetch's
    // reply does, whatever ends the run early.
    QMetaObject::invokeMethod(this, &UpdateRun::takeFolder, Qt::QueuedConnection);
}

void UpdateRun::takeFolder()
{
    switch (m_lock.tryLock(AppFolder::current().root())) {
    case RunLock::Result::HeldElsewhere:
        m_phase = Phase::Done;
        m_failureDetail = u"another update run holds %1"_s.arg(AppFolder::current().root());
        Q_EMIT alreadyRunning(UpdateText::alreadyRunning());
        Q_EMIT finished(Outcome::AlreadyRunning);
        return;
    case RunLock::Result::Unavailable:
        fail(UpdateText::installFailed(), u"cannot lock %1: %2"_s.arg(AppFolder::current().root(), m_lock.error()));
        return;
    case RunLock::Result::Locked:
        break;
    }
    // No other run is under way: what is still arriving belongs to none.
    removePartialFiles(updateFolder());
    m_service->fetchText(ServicePath::updateList(installedStamp()), this,
                         [this](const QString &reply) { onList(reply); });
}

void UpdateRun::onList(const QString &reply)
{
    const UpdateList list = parseUpdateList(reply);
    if (!list.refused.isEmpty()) {
        fail(UpdateText::listRefused(), u"refused list entry: "_s + list.refused.first());
        return;
    }
    m_packages = pendingPackages(list.packages, installedStamp());
    if (m_packages.isEmpty()) {
        stop();
        Q_EMIT noUpdate(UpdateText::noUpdate());
        Q_EMIT finished(Outcome::NoUpdate);
        return;
    }
    // Nothing unsigned is installed, and without the maker's key nothing can
    // be checked: no setting turns this off.
    const QString keyPath = updateKeyFile();
    if (!QFileInfo::exists(keyPath)) {
        fail(UpdateText::noKey(), u"no update key %1"_s.arg(keyPath));
        return;
    }
    QFile keyFile(keyPath);
    if (keyFile.open(QIODevice::ReadOnly))
        m_key = MinisignPublicKey::parse(keyFile.read(largestSignatureFile));
    if (!m_key) {
        fail(UpdateText::signatureInvalid(), u"%1 is not a minisign public key"_s.arg(keyPath));
        return;
    }
    m_phase = Phase::Confirming;
    Q_EMIT updatesFound(int(m_packages.size()), UpdateText::updatesFound(int(m_packages.size())));
}

void UpdateRun::proceed()
{
    if (m_phase != Phase::Confirming)
        return;
    if (!QDir().mkpath(updateFolder())) {
        fail(UpdateText::installFailed(), u"cannot create %1"_s.arg(updateFolder()));
        return;
    }
    m_current = 0;
    downloadCurrent();
}

void UpdateRun::downloadCurrent()
{
    Q_EMIT statusChanged(UpdateText::downloading(m_current + 1, current().name, int(m_packages.size())));
    m_lastProgress.reset();
    // A script finds its own package's pieces, never a former one's.
    if (!removeFormerPieces(updateFolder())) {
        fail(UpdateText::installFailed(),
             u"cannot remove the pieces of the package before in %1"_s.arg(updateFolder()));
        return;
    }
    // The signature first: a package that cannot be the one listed is not
    // worth downloading.
    m_phase = Phase::Signature;
    m_signature.close();
    m_signature.setData(QByteArray());
    m_signature.open(QIODevice::WriteOnly);
    m_download->start({serverAddress(Cfg::Servers::Service), packageRequestPath(current().path) + u".minisig",
                       std::chrono::milliseconds(0), largestSignatureFile},
                      &m_signature);
}

void UpdateRun::fetchPackage()
{
    m_phase = Phase::Package;
    const std::optional<MinisignSignature> signature = MinisignSignature::parse(m_signature.data());
    m_prehashed = signature && signature->algorithm == MinisignSignature::Algorithm::Prehashed;
    m_sink = std::make_unique<PackageSink>(updateFolder(), current().name, m_prehashed);
    if (!m_sink->start()) {
        fail(UpdateText::installFailed(), m_sink->errorText());
        return;
    }
    m_sizeLimit = packageSizeLimit(QStorageInfo(updateFolder()).bytesAvailable());
    m_download->start({serverAddress(Cfg::Servers::Service), packageRequestPath(current().path),
                       std::chrono::milliseconds(0), m_sizeLimit},
                      m_sink.get());
}

void UpdateRun::onDownloadProgress(qint64 lastIndex, qint64 contentLength)
{
    if (m_phase != Phase::Package)
        return;
    const DownloadProgress progress = downloadProgress(lastIndex, contentLength);
    if (m_lastProgress == progress)
        return;
    m_lastProgress = progress;
    Q_EMIT progressChanged(progress);
}

void UpdateRun::onDownloadFinished()
{
    if (m_phase == Phase::Signature) {
        // What the signature file alone tells (its key, the release it was
        // made for) refuses the package before it is downloaded.
        const QString refusal = signatureRefusal(verifyTrustedComment(*m_key, m_signature.data()), current());
        if (!refusal.isEmpty()) {
            fail(UpdateText::signatureInvalid(), refusal);
            return;
        }
        fetchPackage();
        return;
    }
    prepareCurrent();
}

void UpdateRun::onDownloadFailed(PackageDownload::Failure reason)
{
    const QString detail = enumName(reason) + u' ' + m_download->statusLine();
    if (m_phase == Phase::Signature) {
        fail(isNetworkFailure(reason) ? UpdateText::networkFailure() : UpdateText::signatureInvalid(),
             u"signature download: "_s + detail);
        return;
    }
    if (reason == PackageDownload::Failure::WriteFailed) {
        fail(UpdateText::installFailed(), u"cannot write the package: "_s + m_sink->errorText());
        return;
    }
    if (reason == PackageDownload::Failure::TooLarge) {
        fail(UpdateText::packageTooLarge(m_download->statusLine(), m_download->contentLength()),
             u"package download: %1, Content-Length %2 over the limit of %3 bytes"_s.arg(
                 detail, QString::number(m_download->contentLength()), QString::number(m_sizeLimit)));
        return;
    }
    QString status = UpdateText::networkFailure();
    // What the server answered, when it answered something we refuse.
    if (!isNetworkFailure(reason) && !m_download->statusLine().isEmpty())
        status += u'（' + m_download->statusLine() + u'）';
    fail(status, u"package download: "_s + detail);
}

void UpdateRun::prepareCurrent()
{
    m_phase = Phase::Preparing;
    Q_EMIT statusChanged(UpdateText::installing(current().name));
    // The last bytes may still sit in a file's buffer; a full disk shows
    // here, not in the writes.
    if (!m_sink->finish()) {
        fail(UpdateText::installFailed(), u"cannot write the package: "_s + m_sink->errorText());
        return;
    }

    auto preparation = std::make_shared<Preparation>();
    m_worker =
        QThread::create([preparation, sink = m_sink.get(), key = *m_key, signature = m_signature.data(),
                         package = current()] { *preparation = preparePackage(*sink, key, signature, package); });
    connect(m_worker, &QThread::finished, this, [this, preparation] {
        m_worker->deleteLater();
        m_worker = nullptr;
        // Whatever did not take its name goes.
        m_sink.reset();
        switch (preparation->result) {
        case Preparation::Result::BadSignature:
            fail(UpdateText::signatureInvalid(), preparation->detail);
            return;
        case Preparation::Result::NotSaved:
            fail(UpdateText::installFailed(), preparation->detail);
            return;
        case Preparation::Result::Ready:
            break;
        }
        // A package without pieces brings no script; the one a former
        // package left behind is gone already.
        if (preparation->pieces == 0) {
            packageDone();
            return;
        }
        m_phase = Phase::Script;
        m_script->start(QDir(updateFolder()).filePath(Package::pieceFileName(0)), AppFolder::current().root(),
                        m_scriptTimeout);
    });
    m_worker->start();
}

void UpdateRun::onScriptFinished(InstallScript::Outcome outcome, int exitCode)
{
    if (outcome != InstallScript::Outcome::Succeeded) {
        fail(UpdateText::installFailed(), u"install script of %1: %2 (exit status %3)"_s.arg(
                                              current().name, enumName(outcome), QString::number(exitCode)));
        return;
    }
    packageDone();
}

void UpdateRun::packageDone()
{
    // At once, not after the last package: a run stopped from here on
    // installs only the packages after this one.
    if (!recordInstalledVersion(current())) {
        fail(UpdateText::versionNotRecorded(), u"cannot write %1"_s.arg(AppFolder::current().settingsFile()));
        return;
    }
    Q_EMIT packageInstalled(m_current + 1, current().name);
    if (m_current + 1 < m_packages.size()) {
        ++m_current;
        downloadCurrent();
        return;
    }
    stop();
    Q_EMIT statusChanged(UpdateText::succeeded());
    Q_EMIT finished(Outcome::Installed);
}

void UpdateRun::stop()
{
    m_phase = Phase::Done;
    m_download->abort();
    m_sink.reset();
    // The next run may start while this one's window still shows.
    m_lock.unlock();
}

void UpdateRun::fail(const QString &status, const QString &detail)
{
    stop();
    m_failureDetail = detail;
    Q_EMIT statusChanged(status);
    Q_EMIT finished(Outcome::Failed);
}

} // namespace zorvane
