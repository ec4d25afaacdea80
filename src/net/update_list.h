#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zorvane {

// One pending update, as the service server lists it.
struct UpdatePackage
{
    QString name;  // version name: shown, used as the file name, recorded as `vision`
    QString stamp; // recorded as `update` after the last package, sent with the next query
    QString path;  // request path of the package file on the service server

    bool operator==(const UpdatePackage &) const = default;
};

struct UpdateList
{
    QList<UpdatePackage> packages; // in list order
    // Entries that cannot be used as they stand: a name that is no plain file
    // name, or a field holding control characters. A list with any of them
    // is not installed at all, since later packages build on earlier ones.
    QStringList refused;
    int skippedLines = 0; // lines with fewer than three fields
};

// The reply to the update query: lines separated by "<br>", each "name|stamp|
// path" (further fields ignored). A reply with neither "<br>" nor "|" lists
// nothing. Fields are taken without surrounding blanks and line ends, which a
// stored reply file easily ends with.
UpdateList parseUpdateList(const QString &reply);

// A name that stays one file inside "\update\": not empty, no "/", "\" or
// "..", no control characters.
bool isSafePackageName(const QString &name);

// The request path of a package: as listed, with a leading "/" added when
// the list gives a relative one (a request line needs it).
QString packageRequestPath(const QString &listedPath);

// Whether `stamp` comes after `installed`, the stamp the installation
// recorded. Two stamps made only of digits compare as numbers, any others as
// byte strings (UTF-8). Before any recorded stamp, every stamp is newer.
bool isNewerStamp(const QString &stamp, const QString &installed);

// What is left to install of a list over an installation that recorded
// `installed`: in list order, each package newer than the installed stamp and
// than every package kept before it. A package that is not newer has been
// installed already, or would put an older version back.
QList<UpdatePackage> pendingPackages(const QList<UpdatePackage> &packages, const QString &installed);

// The maker's public key, "\setting\update.pub": without it no package can
// be checked, so none is installed.
QString updateKeyFile();

} // namespace zorvane
