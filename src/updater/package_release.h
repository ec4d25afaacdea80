#pragma once

#include <QString>
#include <QStringList>

namespace zorvane {

// Releasing an update package into the service server's content folder, the
// maker's side of Patchwell. The folder holds
//
//   packages/NAME.md           the package (NAME.md.minisig beside it when signed)
//   upnew/index.txt            every release as "NAME|STAMP|/packages/NAME.md",
//                              in release order, joined by "<br>"
//   upnew/STAMP.txt            for every released stamp, the releases after it
//                              (empty for the newest)
//
// and the server answers an update query with the stamp's file, or the whole
// list for a stamp it does not know. upnew/index.txt is what has been
// released: it is written last, so a release cut short can be run again.
struct PackageRelease
{
    QString contentFolder;
    QString name;
    QString stamp;
    QString scriptPath;    // the installation script, piece 0
    QStringList filePaths; // the k-th file is piece k
    QString signingKey;    // a minisign secret key; empty: not signed
};

struct ReleaseResult
{
    bool released = false;
    QString error;        // why nothing was released, for the maker
    QStringList warnings; // things the maker should know, released all the same
    QString packageFile;  // the package's path
    QString listLine;     // the line added to upnew/index.txt
};

// The package file of release `name`, relative to the content folder.
QString releasedPackageFile(const QString &name);
// The request path the list gives for it: the name percent-encoded, so that
// the request line stays ASCII whatever the name holds.
QString releasedPackagePath(const QString &name);

// A stamp the server looks up as upnew/STAMP.txt: letters, digits, ".", "_"
// and "-", not beginning with ".". "index" is not one: its file is the whole
// list.
bool isServableStamp(const QString &stamp);

// Builds the package, stores (and signs) it and lists it. Refuses a name or
// stamp that Patchwell or the server would not take as given, one released
// before, a stamp that does not come after every one released before (no
// installation would take it), and a piece that holds the package marker;
// then nothing changes. The package is written as it is read, so its size
// does not matter. The signature's trusted comment names NAME and STAMP,
// and Patchwell installs the package under no other.
// Signing runs the minisign tool on this process's terminal, which asks for
// the key's password unless the key has none.
ReleaseResult releasePackage(const PackageRelease &release);

} // namespace zorvane
