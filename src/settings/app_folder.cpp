#include "settings/app_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace zorvane {

namespace {
AppFolder &overrideFolder()
{
    static AppFolder folder;
    return folder;
}
} // namespace

AppFolder::AppFolder(const QString &root) : m_root(QDir::cleanPath(root))
{}

AppFolder AppFolder::current()
{
    if (!overrideFolder().isNull())
        return overrideFolder();
    // The program does not move while it runs; asking Qt each time would
    // look at the file system on every settings read.
    static const AppFolder programFolder(QCoreApplication::applicationDirPath());
    return programFolder;
}

void AppFolder::setCurrent(const AppFolder &folder)
{
    overrideFolder() = folder;
}

QString AppFolder::path(QStringView systemPath) const
{
    qsizetype start = 0;
    while (start < systemPath.size() && (systemPath[start] == u'\\' || systemPath[start] == u'/'))
        ++start;
    QString relative = systemPath.mid(start).toString();
    relative.replace(u'\\', u'/');
    return m_root + u'/' + relative;
}

} // namespace zorvane
