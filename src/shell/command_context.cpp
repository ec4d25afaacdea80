#include "shell/command_context.h"

#include "editor/editor_session.h"
#include "snapshot/settings_snapshot.h"

#include <QBoxLayout>
#include <QShortcut>
#include <QWidget>

namespace zorvane {

CommandContext::CommandContext(EditorSession &session, QWidget *window, WordLibraries &libraries)
    : QObject(window)
    , m_session(session)
    , m_window(window)
    , m_libraries(libraries)
{}

SettingsSnapshot CommandContext::readSettings() const
{
    return readSettingsSnapshot();
}

std::optional<QString> CommandContext::getEditorHtml()
{
    return m_session.getEditorHtml();
}

bool CommandContext::setEditorHtml(const QString &html)
{
    return m_session.setEditorHtml(html);
}

bool CommandContext::keepArticleOnly()
{
    return m_session.keepArticleOnly();
}

bool CommandContext::clickEditorElement(const QString &id)
{
    if (m_session.host().clickElement(id))
        return true;
    showMessageBox(EditorText::PageNotAnswering);
    return false;
}

QString CommandContext::textBoxText() const
{
    return m_session.view().textBoxText();
}

void CommandContext::setTextBoxText(const QString &text)
{
    m_session.view().setTextBoxText(text);
}

QString CommandContext::mode() const
{
    return m_session.mode();
}

bool CommandContext::previewOn() const
{
    return m_session.previewOn();
}

bool CommandContext::textMode() const
{
    return m_session.textMode();
}

bool CommandContext::requireNotSeoMode()
{
    return m_session.requireNotSeoMode();
}

bool CommandContext::requireNotPreview()
{
    return m_session.requireNotPreview();
}

bool CommandContext::requireNotTextMode()
{
    return m_session.requireNotTextMode();
}

bool CommandContext::passes(CommandKind kind)
{
    return m_session.passes(kind);
}

bool CommandContext::passes(Guards guards)
{
    return m_session.passes(guards);
}

void CommandContext::ShowMsg(const QString &text)
{
    m_session.ShowMsg(text);
}

void CommandContext::ShowMsg(const QString &text, const QString &mode)
{
    m_session.ShowMsg(text, mode);
}

void CommandContext::loadFile()
{
    m_session.load();
}

void CommandContext::saveFile()
{
    m_session.save();
}

void CommandContext::toggleTextMode()
{
    m_session.toggleTextMode();
}

void CommandContext::togglePreview()
{
    m_session.togglePreview();
}

void CommandContext::clearEditor()
{
    m_session.clear();
}

void CommandContext::copyFromEditor()
{
    m_session.copyFromEditor();
}

void CommandContext::pasteIntoEditor()
{
    m_session.pasteIntoEditor();
}

void CommandContext::showMessageBox(const QString &text)
{
    m_session.view().showMessageBox(text);
}

bool CommandContext::askOkCancel(const QString &title, const QString &text)
{
    return m_session.view().askOkCancel(title, text);
}

QString CommandContext::chooseOpenFile(const FileChoice &choice)
{
    return m_session.view().chooseOpenFile(choice);
}

QString CommandContext::chooseSaveFile(const FileChoice &choice)
{
    return m_session.view().chooseSaveFile(choice);
}

QWidget *CommandContext::areaWidget(Area area) const
{
    QBoxLayout *layout = m_areas.value(area);
    return layout ? layout->parentWidget() : nullptr;
}

bool CommandContext::addShortcut(QKeyCombination key, std::function<void()> action)
{
    if (m_keys.contains(key.toCombined())) {
        // Two commands on one key is a mistake of the program, not of the user.
        qWarning("shortcut %s is taken already; the second command gets no key",
                 qPrintable(QKeySequence(key).toString(QKeySequence::PortableText)));
        return false;
    }
    m_keys.insert(key.toCombined(), true);
    auto *shortcut = new QShortcut(QKeySequence(key), m_window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    return true;
}

} // namespace zorvane
