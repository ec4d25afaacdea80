#include "net/user_record.h"

#include "text/gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>
#include <QtEndian>

namespace zorvane {

namespace {

// The GBK bytes of text, at most UserFileFieldLimit of them, ending on a
// whole character.
QByteArray fieldBytes(const QString &text)
{
    QByteArray bytes = toGbk(text);
    if (bytes.size() <= UserFileFieldLimit)
        return bytes;
    bytes.clear();
    QStringEncoder gbk("GB18030");
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = gbk.encode(QStringView(text).mid(i, units));
        if (bytes.size() + character.size() > UserFileFieldLimit)
            break;
        bytes += character;
        i += units;
    }
    return bytes;
}

void appendField(QByteArray &out, const QString &text)
{
    const QByteArray bytes = fieldBytes(text);
    const quint16 count = quint16(bytes.size());
    out += char(count & 0xFF);
    out += char(count >> 8);
    out += bytes;
}

} // namespace

QByteArray serializeUserRecord(const UserRecord &record)
{
    QByteArray out;
    for (const QString *field : {&record.userName, &record.password, &record.cookies, &record.avatarUrl, &record.group,
                                 &record.points, &record.coins})
        appendField(out, *field);
    return out;
}

UserRecord parseUserRecord(QByteArrayView bytes)
{
    UserRecord record;
    QString *const fields[] = {&record.userName, &record.password, &record.cookies, &record.avatarUrl,
                               &record.group,    &record.points,   &record.coins};
    qsizetype at = 0;
    for (QString *field : fields) {
        if (bytes.size() - at < 2)
            break;
        const quint16 count = qFromLittleEndian<quint16>(bytes.data() + at);
        at += 2;
        // Half a password or half a cookie is worse than none.
        if (bytes.size() - at < count)
            break;
        *field = fromGbk(bytes.sliced(at, count));
        at += count;
    }
    return record;
}

QString userFilePath(const AppFolder &folder)
{
    return folder.path(u"\\data\\user.dat");
}

std::optional<UserRecord> readUserFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Seven fields of at most 64 KiB each and their counts; more is never read.
    const QByteArray bytes = file.read(7 * (UserFileFieldLimit + 2));
    if (bytes.isEmpty())
        return std::nullopt;
    return parseUserRecord(bytes);
}

bool writeUserFile(const QString &path, const UserRecord &record)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !(info.permissions() & QFile::WriteOwner)))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Before a byte goes in: an existing file's looser permissions would
    // otherwise be carried over to the new one.
    const QByteArray bytes = serializeUserRecord(record);
    if (!file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) || file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString avatarFilePath(const AppFolder &folder, const QString &userName)
{
    QString name = userName;
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    name.replace(QChar(u'\0'), u'_');
    return folder.path(u"\\userface\\") + name + u".bmp";
}

} // namespace zorvane
