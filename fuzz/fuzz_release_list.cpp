// patchwell-pack reading the list a content folder already holds: any
// upnew/index.txt is read as Patchwell would read it, and a list it would
// refuse stops the release before anything is written. The script named
// does not exist, so a list that reads well ends the release there.
#include "updater/package_release.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const bool made = QDir(dir.path()).mkpath(u"upnew"_s) && QDir(dir.path()).mkpath(u"packages"_s);
    if (!made)
        return 0;
    const QString index = dir.filePath(u"upnew/index.txt"_s);
    QFile list(index);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate) || list.write(bytes) != bytes.size())
        return 0;
    list.close();

    PackageRelease release;
    release.contentFolder = dir.path();
    release.name = u"2.0"_s;
    release.stamp = u"20990101"_s;
    release.scriptPath = dir.filePath(u"no-such-script.sh"_s);
    const ReleaseResult result = releasePackage(release);
    const bool readWell = result.error.startsWith(u"no such file: "_s);
    const bool refused =
        result.error.contains(u"is not NAME|STAMP|PATH"_s) || result.error.contains(u"released before"_s);
    if (result.released || (!readWell && !refused))
        __builtin_trap();
    // Nothing but the list itself in the folder.
    if (QDir(dir.filePath(u"upnew"_s)).entryList(QDir::Files | QDir::Hidden) != QStringList{u"index.txt"_s}
        || !QDir(dir.filePath(u"packages"_s)).isEmpty())
        __builtin_trap();
    return 0;
}
