#pragma once

// What the main-window tests share: the built editor page inside a temporary
// application folder, and a window opened until its page has loaded.
#include "shell/frm_format.h"
#include "testsupport/temp_app_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

namespace zorvane {

// Copies build/app/lib (the editor page as the build made it) into folder.
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

// The main window, shown and loaded, its message boxes collected in messages;
// null when it did not load within half a minute.
inline std::unique_ptr<frmFormat> openLoadedWindow(const frmFormat::Options &options, QStringList *messages)
{
    auto window = std::make_unique<frmFormat>(options);
    window->setMessageSink([messages](const QString &text) { messages->append(text); });
    QSignalSpy loaded(window.get(), &frmFormat::loaded);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    if (!loaded.wait(30000) && loaded.isEmpty())
        return nullptr;
    return window;
}

} // namespace zorvane
