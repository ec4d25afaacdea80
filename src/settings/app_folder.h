#pragma once

#include <QString>

namespace zorvane {

// The application folder: the folder of the running program, under which
// every file of the system lives. The system names its files with paths such
// as "\setting\config.ini" or "\update\"; path() turns them into native paths.
class AppFolder
{
public:
    AppFolder() = default;
    explicit AppFolder(const QString &root);

    // The folder the running program uses: the one given to setCurrent(), or
    // else the folder of the executable.
    static AppFolder current();
    static void setCurrent(const AppFolder &folder);

    QString root() const { return m_root; }
    bool isNull() const { return m_root.isEmpty(); }

    // "\data\error.dat" → <root>/data/error.dat; a trailing "\" is kept as "/".
    QString path(QStringView systemPath) const;
    QString settingsFile() const { return path(u"\\setting\\config.ini"); }

private:
    QString m_root;
};

} // namespace zorvane
