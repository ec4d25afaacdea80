#include "editor/windowless_editor.h"

#include "editor/editor_scheme.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace zorvane {

WindowlessEditor::WindowlessEditor() = default;
WindowlessEditor::~WindowlessEditor() = default;

bool WindowlessEditor::open(const QString &libFolder, std::chrono::milliseconds timeout)
{
    installEditorScheme(m_page.profile(), libFolder);
    QEventLoop loop;
    QObject::connect(&m_host, &WebEditorHost::ready, &loop, &QEventLoop::quit);
    QObject::connect(&m_host, &WebEditorHost::loadFailed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    m_host.setReadyTimeout(timeout);
    m_host.load(editorPageUrl());
    if (!m_host.isReady())
        loop.exec();
    return m_host.isReady();
}

void prepareForEditorPage()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerEditorScheme();
}

} // namespace zorvane
