#pragma once

#include "settings/app_folder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QMetaType>
#include <QString>

#include <optional>

namespace zorvane {

// The forum account as the programs keep it for the whole run, and as
// "\data\user.dat" stores it: seven strings in this order.
struct UserRecord
{
    QString userName; // as typed
    QString password; // as typed; the file keeps it in the clear, as it always has
    QString cookies;  // the forum cookie string after the last login
    QString avatarUrl;
    QString group;
    QString points;
    QString coins;

    friend bool operator==(const UserRecord &, const UserRecord &) = default;
};

// The longest string the file can hold: its count is 16 bits.
inline constexpr qsizetype UserFileFieldLimit = 65535;

// The file's bytes: each field a 16-bit little-endian byte count followed by
// that many GBK bytes. A field longer than the count can say is cut at the
// last whole character that fits.
QByteArray serializeUserRecord(const UserRecord &record);

// The first seven strings of the bytes; anything after them is ignored. A
// short or truncated file gives the fields that were complete, the rest empty.
UserRecord parseUserRecord(QByteArrayView bytes);

// "\data\user.dat" of the folder.
QString userFilePath(const AppFolder &folder);

// The saved login; nullopt when the file is missing, unreadable or empty
// (an empty file is how "no saved login" is written).
std::optional<UserRecord> readUserFile(const QString &path);

// Replaces the file atomically, readable and writable by its owner only (it
// holds a password). Like the other stored files, one whose owner write bit
// is off is left alone. False when nothing was written.
bool writeUserFile(const QString &path, const UserRecord &record);

// Where a user's avatar picture is kept: "\userface\" + user name + ".bmp".
// Path separators in the name become "_", so a typed name can never point the
// file outside the folder.
QString avatarFilePath(const AppFolder &folder, const QString &userName);

} // namespace zorvane

Q_DECLARE_METATYPE(zorvane::UserRecord)
