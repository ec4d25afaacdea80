#pragma once

#include "editor/editor_page.h"
#include "editor/web_editor_host.h"

#include <QString>

#include <chrono>
#include <optional>

namespace zorvane {

// The editor page opened in a page that no window shows, for work that needs
// the page's own code without a window: the command line's article
// extraction runs here exactly what the main window's editor runs. Needs a
// QGuiApplication made after registerEditorScheme() (see prepareForEditorPage()).
class WindowlessEditor
{
public:
    WindowlessEditor();
    ~WindowlessEditor();

    // Opens libFolder/index.html (the built editor page) and waits until it
    // takes requests; false when it does not within timeout.
    bool open(const QString &libFolder, std::chrono::milliseconds timeout = std::chrono::seconds(30));

    WebEditorHost &host() { return m_host; }

private:
    EditorPage m_page;
    WebEditorHost m_host{&m_page};
};

// What a program that opens the editor page must do before it makes its
// QGuiApplication or QApplication.
void prepareForEditorPage();

} // namespace zorvane
