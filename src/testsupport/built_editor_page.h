#pragma once

// The editor page as the build made it (build/app/lib), copied into a
// temporary application folder, for tests that open the real page. Header
// only: the consumer's build defines ZORVANE_APP_DIR (zorvane_add_qtest does).
#include "testsupport/temp_app_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#ifndef ZORVANE_APP_DIR
#error "ZORVANE_APP_DIR names the application folder the build assembles"
#endif

namespace zorvane {

// Copies build/app/lib into folder's "\lib\".
inline bool installBuiltEditorPage(const TempAppFolder &folder)
{
    using namespace Qt::StringLiterals;
    const QString libPath = QString::fromUtf8(ZORVANE_APP_DIR "/lib");
    const QDir lib(libPath);
    QDirIterator it(libPath, QDir::Files, QDirIterator::Subdirectories);
    bool any = false;
    while (it.hasNext()) {
        const QString file = it.next();
        QFile source(file);
        if (!source.open(QIODevice::ReadOnly))
            return false;
        QString systemPath = u"\\lib\\"_s + lib.relativeFilePath(file);
        systemPath.replace(u'/', u'\\');
        if (!folder.writeFile(systemPath, source.readAll()))
            return false;
        any = true;
    }
    return any;
}

} // namespace zorvane
