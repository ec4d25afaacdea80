#pragma once

// What the main-window tests share: the built editor page inside a temporary
// application folder, and a window opened until its page has loaded.
#include "shell/frm_format.h"
#include "testsupport/built_editor_page.h"
#include "testsupport/temp_app_folder.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

namespace zorvane {

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
