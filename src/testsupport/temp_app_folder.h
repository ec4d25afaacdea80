#pragma once

#include "settings/app_folder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zorvane {

// A fresh application folder for one test, copied from the same appdir/
// template the build assembles build/app from. It becomes the current
// application folder while it lives.
class TempAppFolder
{
public:
    TempAppFolder();
    ~TempAppFolder();
    TempAppFolder(const TempAppFolder &) = delete;
    TempAppFolder &operator=(const TempAppFolder &) = delete;

    bool isValid() const { return m_valid; }
    const AppFolder &folder() const { return m_folder; }
    QString path(QStringView systemPath) const { return m_folder.path(systemPath); }

    // Writes raw bytes to a file of the folder (creating folders as needed).
    bool writeFile(QStringView systemPath, const QByteArray &bytes) const;
    QByteArray readFile(QStringView systemPath) const;
    // Replaces the settings file with GBK text (lines joined by CR LF).
    bool writeSettings(const QString &text) const;

private:
    QTemporaryDir m_dir;
    AppFolder m_folder;
    AppFolder m_previous;
    bool m_valid = false;
};

} // namespace zorvane
