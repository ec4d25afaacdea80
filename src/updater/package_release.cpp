#include "updater/package_release.h"

#include "net/update_list.h"
#include "text/gbk.h"
#include "text/text_file.h"
#include "updater/package_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QUrl>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QByteArray lineSeparator = "<br>";

struct Listed
{
    QByteArray line; // as stored: lines made by hand keep their bytes
    UpdatePackage package;
};

std::optional<QByteArray> readFile(const QString &path, QString &error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        error = u"no such file: %1"_s.arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"cannot read %1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = u"cannot read %1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// The releases so far, each line as Patchwell reads it. A line it would not
// take stops the release: Patchwell refuses a whole list that holds one.
std::optional<QList<Listed>> readReleases(const QString &indexPath, QString &error)
{
    QList<Listed> releases;
    if (!QFileInfo::exists(indexPath))
        return releases;
    const std::optional<QByteArray> bytes = readFile(indexPath, error);
    if (!bytes)
        return std::nullopt;
    int number = 0;
    qsizetype from = 0;
    while (from <= bytes->size()) {
        qsizetype end = bytes->indexOf(lineSeparator, from);
        if (end < 0)
            end = bytes->size();
        // An editor's line break at the end, or a "<br>" too many, is no entry.
        const QByteArray line = bytes->sliced(from, end - from).trimmed();
        from = end + lineSeparator.size();
        ++number;
        if (line.isEmpty())
            continue;
        const UpdateList parsed = parseUpdateList(fromGbk(line));
        if (parsed.packages.size() != 1 || !parsed.refused.isEmpty() || parsed.skippedLines != 0) {
            error = u"%1: entry %2 is not NAME|STAMP|PATH as Patchwell reads it: %3"_s.arg(indexPath).arg(number).arg(
                fromGbk(line));
            return std::nullopt;
        }
        releases.append({line, parsed.packages.first()});
    }
    return releases;
}

// Joins the pieces into the package file as they are read, a block at a
// time, so that a release of any size needs little memory. Whether the script
// has CR LF line ends, or nothing when no package was written (`error` says
// why). The file takes its name only once complete; the signature of a
// release cut short before goes with the package it signed.
std::optional<bool> writePackage(const QStringList &piecePaths, const QString &packageFile,
                                 const QString &signatureFile, QString &error)
{
    QList<std::shared_ptr<QFile>> pieces;
    for (const QString &path : piecePaths) {
        auto file = std::make_shared<QFile>(path);
        if (!QFileInfo(path).isFile()) {
            error = u"no such file: %1"_s.arg(path);
            return std::nullopt;
        }
        if (!file->open(QIODevice::ReadOnly)) {
            error = u"cannot read %1: %2"_s.arg(path, file->errorString());
            return std::nullopt;
        }
        pieces.append(file);
    }
    QSaveFile out(packageFile);
    if (!out.open(QIODevice::WriteOnly)) {
        error = u"cannot write %1: %2"_s.arg(packageFile, out.errorString());
        return std::nullopt;
    }
    // The package as Patchwell will split it: a piece holding the marker
    // would come back as two. A marker cannot begin in one piece and end in
    // the next, since the marker never begins with its own end.
    PackageSplitter splitter;
    bool scriptHasCrLf = false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QFile &piece = *pieces.at(i);
        out.write(Package::marker().data(), Package::markerSize);
        splitter.feed(Package::marker());
        char last = 0;
        for (;;) {
            const qint64 got = piece.read(block.data(), block.size());
            if (got < 0) {
                error = u"cannot read %1: %2"_s.arg(piece.fileName(), piece.errorString());
                return std::nullopt;
            }
            if (got == 0)
                break;
            const QByteArrayView bytes(block.constData(), got);
            if (i == 0)
                scriptHasCrLf = scriptHasCrLf || bytes.contains("\r\n") || (last == '\r' && bytes.front() == '\n');
            last = bytes.back();
            out.write(bytes.data(), bytes.size());
            splitter.feed(bytes);
        }
        // Every marker wholly inside the piece has been seen by now.
        if (splitter.pieceCount() != i + 1) {
            error = u"%1 holds the package marker (00 00 00 06 03 04 06 03 05 06): Patchwell would split it "
                    "apart"_s.arg(piece.fileName());
            return std::nullopt;
        }
    }
    if (!out.commit()) {
        error = u"cannot write %1: %2"_s.arg(packageFile, out.errorString());
        return std::nullopt;
    }
    if (QFileInfo::exists(signatureFile) && !QFile::remove(signatureFile)) {
        error = u"cannot replace %1"_s.arg(signatureFile);
        return std::nullopt;
    }
    return scriptHasCrLf;
}

QString signPackage(const QString &packageFile, const QString &key, const QByteArray &trustedComment)
{
    if (!QFileInfo(key).isFile())
        return u"no such key: %1"_s.arg(key);
    QProcess minisign;
    // The tool asks for the key's password on the terminal itself.
    minisign.setProcessChannelMode(QProcess::ForwardedChannels);
    minisign.setInputChannelMode(QProcess::ForwardedInputChannel);
    // The trusted comment binds the signature to the list entry; minisign
    // takes it as the bytes of its argument, UTF-8 here.
    minisign.start(u"minisign"_s, {u"-S"_s, u"-s"_s, QFileInfo(key).absoluteFilePath(), u"-m"_s, packageFile, u"-t"_s,
                                   QString::fromUtf8(trustedComment)});
    if (!minisign.waitForStarted())
        return u"minisign could not be started (apt-get install minisign): %1"_s.arg(minisign.errorString());
    // No limit: a password is typed in its own time.
    minisign.waitForFinished(-1);
    if (minisign.exitStatus() != QProcess::NormalExit || minisign.exitCode() != 0)
        return u"minisign could not sign the package (exit status %1)"_s.arg(minisign.exitCode());
    if (!QFileInfo::exists(packageFile + u".minisig"))
        return u"minisign left no signature beside %1"_s.arg(packageFile);
    return QString();
}

} // namespace

QString releasedPackageFile(const QString &name)
{
    return u"packages/" + name + u".md";
}

QString releasedPackagePath(const QString &name)
{
    return u"/packages/" + QString::fromLatin1(QUrl::toPercentEncoding(name)) + u".md";
}

bool isServableStamp(const QString &stamp)
{
    // As the server's configuration takes it: a stamp beginning with "."
    // would name a hidden file.
    static const QRegularExpression servable(u"^[A-Za-z0-9_-][A-Za-z0-9._-]*$"_s);
    return servable.match(stamp).hasMatch() && stamp != u"index";
}

ReleaseResult releasePackage(const PackageRelease &release)
{
    ReleaseResult result;
    const QDir content(release.contentFolder);
    if (!QFileInfo(release.contentFolder).isDir()) {
        result.error = u"no content folder at %1"_s.arg(release.contentFolder);
        return result;
    }

    const QString &name = release.name;
    const QString &stamp = release.stamp;
    const UpdatePackage package{name, stamp, releasedPackagePath(name)};
    result.listLine = package.name + u'|' + package.stamp + u'|' + package.path;
    // The name becomes a file name on both sides and a field of the list:
    // what Patchwell reads back must be the very package.
    const UpdateList readBack = parseUpdateList(result.listLine);
    if (!isSafePackageName(package.name) || package.name.startsWith(u'.') || readBack.packages.size() != 1
        || readBack.packages.first() != package) {
        result.error = u"not a package name: '%1' (no \"/\", \"\\\", \"..\", \"|\" or \"<br>\", no "
                       "control characters, no blank at either end, no \".\" at the start)"_s.arg(release.name);
        return result;
    }
    if (!isServableStamp(package.stamp)) {
        result.error = u"not a stamp: '%1' (letters, digits, \".\", \"_\" and \"-\" only, and not "
                       "\"index\")"_s.arg(release.stamp);
        return result;
    }

    if (!content.mkpath(u"upnew"_s) || !content.mkpath(u"packages"_s)) {
        result.error = u"cannot create upnew/ and packages/ in %1"_s.arg(release.contentFolder);
        return result;
    }
    // Two releases at once would each write a list without the other's.
    QLockFile lock(content.filePath(u"upnew/.patchwell-pack.lock"_s));
    lock.setStaleLockTime(0);
    if (!lock.tryLock()) {
        result.error = u"another release is running in %1"_s.arg(release.contentFolder);
        return result;
    }

    const QString indexPath = content.filePath(u"upnew/index.txt"_s);
    std::optional<QList<Listed>> releases = readReleases(indexPath, result.error);
    if (!releases)
        return result;
    for (const Listed &listed : std::as_const(*releases)) {
        if (listed.package.name == package.name || listed.package.path == package.path) {
            result.error = u"%1 was released before: %2"_s.arg(package.name, fromGbk(listed.line));
            return result;
        }
        if (listed.package.stamp == package.stamp) {
            result.error = u"stamp %1 was released before: %2"_s.arg(package.stamp, fromGbk(listed.line));
            return result;
        }
        // Patchwell installs only what comes after what it has.
        if (!isNewerStamp(package.stamp, listed.package.stamp)) {
            result.error = u"stamp %1 does not come after %2, released before (digits compare as numbers, "
                           "other stamps as bytes): no installation would take the package"_s.arg(package.stamp,
                                                                                                  listed.package.stamp);
            return result;
        }
    }

    QStringList piecePaths{release.scriptPath};
    piecePaths += release.filePaths;
    // Not listed, so no client has asked for it: a package left here by a
    // release cut short is replaced, and its old signature must not outlive it.
    result.packageFile = content.filePath(releasedPackageFile(package.name));
    const QString signatureFile = result.packageFile + u".minisig";
    const std::optional<bool> scriptHasCrLf = writePackage(piecePaths, result.packageFile, signatureFile, result.error);
    if (!scriptHasCrLf)
        return result;
    if (*scriptHasCrLf)
        result.warnings << u"%1 has CR LF line ends; /bin/sh takes the CR as part of each command"_s.arg(
            release.scriptPath);
    if (!release.signingKey.isEmpty()) {
        result.error = signPackage(result.packageFile, release.signingKey, Package::trustedComment(name, stamp));
        if (!result.error.isEmpty()) {
            QFile::remove(signatureFile);
            QFile::remove(result.packageFile);
            return result;
        }
    }

    releases->append({toGbk(result.listLine), package});
    // The newest stamp's empty file first: an installation may take the new
    // package from an older stamp's file before the index names it.
    QList<qsizetype> order{releases->size() - 1};
    for (qsizetype i = 0; i + 1 < releases->size(); ++i)
        order.append(i);
    QSet<QString> written;
    for (const qsizetype i : std::as_const(order)) {
        const QString &stamp = releases->at(i).package.stamp;
        if (!isServableStamp(stamp)) {
            result.warnings << u"stamp '%1' is no file name the server looks up: installations holding "
                               "it are offered the whole list"_s.arg(stamp);
            continue;
        }
        // A stamp listed twice: its first release decides, which offers
        // too much rather than too little.
        if (written.contains(stamp))
            continue;
        written.insert(stamp);
        QList<QByteArray> later;
        for (qsizetype k = i + 1; k < releases->size(); ++k)
            later.append(releases->at(k).line);
        const QString path = content.filePath(u"upnew/" + stamp + u".txt");
        if (!writeFileAtomically(path, later.join(lineSeparator))) {
            result.error = u"cannot write %1; run the same release again"_s.arg(path);
            return result;
        }
    }
    QList<QByteArray> all;
    for (const Listed &listed : std::as_const(*releases))
        all.append(listed.line);
    if (!writeFileAtomically(indexPath, all.join(lineSeparator))) {
        result.error = u"cannot write %1; run the same release again"_s.arg(indexPath);
        return result;
    }
    result.released = true;
    return result;
}

} // namespace zorvane
