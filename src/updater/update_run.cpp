#include "updater/update_run.h"

#include "net/service_client.h"
#include "settings/app_folder.h"
#include "updater/package_format.h"
#include "updater/update_texts.h"
#include "updater/version_record.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QTemporaryFile>
#include <QThread>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The signature file is a few lines; anything much bigger is not one.
constexpr qint64 largestSignatureFile = 64 * 1024;

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

// The line failed rather than the server answering something refused.
bool isNetworkFailure(PackageDownload::Failure reason)
{
    using Failure = PackageDownload::Failure;
    return reason == Failure::Network || reason == Failure::TimedOut || reason == Failure::ClosedEarly;
}

// What a worker thread makes of a package that has arrived.
struct Preparation
{
    enum class Result { Ready, BadSignature, NotSaved, NotSplit };
    Result result = Result::Ready;
    int pieces = 0;
    QString detail;
};

// Checks the signature (when the folder holds a key), gives the package its
// name and splits it. Runs off the window's thread: a package of hundreds of
// megabytes takes a while to hash and to copy into its pieces.
Preparation preparePackage(const QString &partialPath, const QString &packagePath, const QString &updateFolder,
                           const std::optional<MinisignPublicKey> &key, const QByteArray &signature)
{
    Preparation preparation;
    if (key) {
        const SignatureCheck check = verifyFileSignature(*key, signature, partialPath);
        if (check != SignatureCheck::Valid) {
            preparation.result = Preparation::Result::BadSignature;
            preparation.detail = u"signature "_s + checkName(check);
            return preparation;
        }
    }
    QFile::remove(packagePath);
    if (!QFile::rename(partialPath, packagePath)) {
        preparation.result = Preparation::Result::NotSaved;
        preparation.detail = u"cannot save %1"_s.arg(packagePath);
        return preparation;
    }
    const PieceWriteResult pieces = writePackagePieces(packagePath, updateFolder);
    preparation.pieces = pieces.pieces;
    if (!pieces.ok) {
        preparation.result = Preparation::Result::NotSplit;
        preparation.detail = pieces.error;
    }
    return preparation;
}

} // namespace

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
        // Hashing or splitting ends on its own; the files must not be left
        // half written.
        m_worker->disconnect(this);
        m_worker->wait();
        delete std::exchange(m_worker, nullptr);
    }
    dropPartialFile();
}

QString UpdateRun::updateFolder() const
{
    return AppFolder::current().path(u"\\update\\");
}

void UpdateRun::start()
{
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Listing;
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
    if (list.packages.isEmpty()) {
        m_phase = Phase::Done;
        Q_EMIT noUpdate(UpdateText::noUpdate());
        Q_EMIT finished(Outcome::NoUpdate);
        return;
    }
    m_packages = list.packages;
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
    // The key decides for the whole run; a key file that cannot be read
    // accepts no package rather than every package.
    const QString keyPath = AppFolder::current().path(u"\\setting\\update.pub");
    m_keyFilePresent = QFile::exists(keyPath);
    m_key.reset();
    if (m_keyFilePresent) {
        QFile keyFile(keyPath);
        if (keyFile.open(QIODevice::ReadOnly))
            m_key = MinisignPublicKey::parse(keyFile.readAll());
    }
    m_current = 0;
    downloadCurrent();
}

void UpdateRun::downloadCurrent()
{
    Q_EMIT statusChanged(UpdateText::downloading(m_current + 1, current().name, int(m_packages.size())));
    m_lastProgress.reset();
    if (m_keyFilePresent && !m_key) {
        fail(UpdateText::signatureInvalid(), u"the key file is not a minisign public key"_s);
        return;
    }
    if (!m_keyFilePresent) {
        fetchPackage();
        return;
    }
    // The signature first: a package that cannot be checked is not worth
    // downloading.
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
    dropPartialFile();
    m_partial = std::make_unique<QTemporaryFile>(QDir(updateFolder()).filePath(current().name + u".md.XXXXXX.part"));
    if (!m_partial->open()) {
        fail(UpdateText::installFailed(),
             u"cannot create a file in %1: %2"_s.arg(updateFolder(), m_partial->errorString()));
        return;
    }
    m_download->start({serverAddress(Cfg::Servers::Service), packageRequestPath(current().path)}, m_partial.get());
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
        // What the signature file alone tells refuses the package before it
        // is downloaded; whether it matches the bytes waits for them.
        const std::optional<MinisignSignature> signature = MinisignSignature::parse(m_signature.data());
        if (!signature || signature->keyId != m_key->keyId) {
            fail(UpdateText::signatureInvalid(),
                 u"signature "_s + checkName(signature ? SignatureCheck::OtherKey : SignatureCheck::Malformed));
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
        fail(UpdateText::installFailed(), u"cannot write the package: "_s + m_partial->errorString());
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
    // The last bytes may still sit in the file's buffer; a full disk shows
    // here, not in the writes.
    if (!m_partial->flush()) {
        fail(UpdateText::installFailed(), u"cannot write the package: "_s + m_partial->errorString());
        return;
    }
    m_partial->close();
    m_partial->setAutoRemove(false);
    m_preparedPath = m_partial->fileName();
    m_partial.reset();

    auto preparation = std::make_shared<Preparation>();
    m_worker = QThread::create(
        [preparation, partial = m_preparedPath, package = QDir(updateFolder()).filePath(current().name + u".md"),
         folder = updateFolder(), key = m_key,
         signature = m_signature.data()] { *preparation = preparePackage(partial, package, folder, key, signature); });
    connect(m_worker, &QThread::finished, this, [this, preparation] {
        m_worker->deleteLater();
        m_worker = nullptr;
        dropPartialFile();
        switch (preparation->result) {
        case Preparation::Result::BadSignature:
            fail(UpdateText::signatureInvalid(), preparation->detail);
            return;
        case Preparation::Result::NotSaved:
        case Preparation::Result::NotSplit:
            fail(UpdateText::installFailed(), preparation->detail);
            return;
        case Preparation::Result::Ready:
            break;
        }
        // A package without pieces brings no script; the one a former
        // package left behind is not run again.
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
    Q_EMIT packageInstalled(m_current + 1, current().name);
    if (m_current + 1 < m_packages.size()) {
        ++m_current;
        downloadCurrent();
        return;
    }
    if (!recordInstalledVersion(m_packages.last())) {
        fail(UpdateText::versionNotRecorded(), u"cannot write %1"_s.arg(AppFolder::current().settingsFile()));
        return;
    }
    m_phase = Phase::Done;
    Q_EMIT statusChanged(UpdateText::succeeded());
    Q_EMIT finished(Outcome::Installed);
}

void UpdateRun::fail(const QString &status, const QString &detail)
{
    m_phase = Phase::Done;
    m_download->abort();
    dropPartialFile();
    m_failureDetail = detail;
    Q_EMIT statusChanged(status);
    Q_EMIT finished(Outcome::Failed);
}

void UpdateRun::dropPartialFile()
{
    m_partial.reset();
    if (!m_preparedPath.isEmpty() && !m_worker) {
        // Still there when the package never took its name.
        QFile::remove(m_preparedPath);
        m_preparedPath.clear();
    }
}

} // namespace zorvane
