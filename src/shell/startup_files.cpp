#include "shell/startup_files.h"

#include "shell/hand_off.h"

#include <QDir>
#include <QFileInfo>

namespace zorvane {

std::optional<QString> missingRequiredFile(const AppFolder &folder)
{
    static constexpr QStringView required[] = {
        u"\\data\\user.dat",  u"\\data\\same.dat",      u"\\data\\hexie.dat",
        u"\\data\\error.dat", u"\\setting\\config.ini", u"\\lib\\index.html",
    };
    for (const QStringView file : required) {
        const QString path = folder.path(file);
        if (!QFileInfo(path).isFile())
            return path;
    }
    const QString updater = programPath(folder, Program::Patchwell);
    if (!QFileInfo(updater).isFile())
        return updater;
    return std::nullopt;
}

bool createWorkFolders(const AppFolder &folder)
{
    return QDir().mkpath(folder.path(u"\\img")) && QDir().mkpath(folder.path(u"\\update"));
}

} // namespace zorvane
