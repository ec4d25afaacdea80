#include "text/text_file.h"

#include "text/gbk.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <atomic>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool hasNonAscii(const QByteArray &bytes)
{
    for (char b : bytes) {
        if (quint8(b) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeTextFile(file.readAll());
}

QString decodeTextFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return fromGbk(bytes);
}

std::optional<QString> takeTextFile(const QString &path)
{
    // Only a file: a folder or anything else at path stays where it is.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    static std::atomic<quint64> takes{0};
    const QString taken =
        path + u".taken-"_s + QString::number(QCoreApplication::applicationPid()) + u'-' + QString::number(++takes);
    std::error_code error;
    // rename() itself, never a copy: the file is either still at path for a
    // writer to replace, or wholly ours.
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(path).toStdString()),
                            std::filesystem::path(QFile::encodeName(taken).toStdString()), error);
    if (error)
        return QFileInfo(path).isFile() ? std::optional<QString>(readTextFile(path)) : std::nullopt;
    const QString text = readTextFile(taken);
    QFile::remove(taken);
    return text;
}

namespace {

enum class Write { Done, Failed, Vanished };

constexpr QFile::Permissions OwnerReadWrite = QFile::ReadOwner | QFile::WriteOwner;

Write writeOnce(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    const bool existed = info.exists();
    // The owner's write bit plays the part of the read-only attribute; it is
    // looked at directly because access checks always pass for root.
    if (existed && (!info.isFile() || !info.isWritable() || !(info.permissions() & QFile::WriteOwner)))
        return QFileInfo::exists(path) ? Write::Failed : Write::Vanished;
    const QFile::Permissions mode = info.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    // No writing in place when the folder cannot take the temporary file: a
    // crash in the middle would leave half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return existed && !QFileInfo::exists(path) ? Write::Vanished : Write::Failed;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return Write::Failed;
    }
    if (!file.commit())
        return Write::Failed;
    // QSaveFile gives the new file the old one's mode, read when it opened;
    // a file taken away in that moment leaves a mode of nothing at all, which
    // its owner could no longer read.
    if ((QFileInfo(path).permissions() & OwnerReadWrite) != OwnerReadWrite)
        QFile::setPermissions(path, existed ? mode : OwnerReadWrite | QFile::ReadGroup | QFile::ReadOther);
    return Write::Done;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A file taken away (takeTextFile) while it is looked at here is no
    // reason to fail: the write starts again on what is there now.
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (writeOnce(path, bytes)) {
        case Write::Done:
            return true;
        case Write::Failed:
            return false;
        case Write::Vanished:
            break;
        }
    }
    return false;
}

bool writeGbkFile(const QString &path, const QString &text)
{
    return writeFileAtomically(path, toGbk(text));
}

} // namespace zorvane
