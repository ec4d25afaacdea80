#include "text/text_file.h"

#include "text/gbk.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

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
    const QByteArray bytes = file.readAll();
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

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    // The owner's write bit plays the part of the read-only attribute; it is
    // looked at directly because access checks always pass for root.
    if (info.exists() && (!info.isFile() || !info.isWritable() || !(info.permissions() & QFile::WriteOwner)))
        return false;
    QSaveFile file(path);
    // A folder we may not create files in still lets us rewrite a writable
    // file in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeGbkFile(const QString &path, const QString &text)
{
    return writeFileAtomically(path, toGbk(text));
}

} // namespace zorvane
