#include "shell/command_context.h"

#include "editor/editor_view.h"

#include <QBoxLayout>
#include <QShortcut>
#include <QWidget>

CommandContext::CommandContext(EditorSession &session, QWidget *window)
    : QObject(window)
    , m_session(session)
    , m_window(window)
{}

bool CommandContext::clickEditorElement(const QString &id)
{
    if (m_session.host().clickElement(id))
        return true;
    showMessageBox(EditorText::PageNotAnswering);
    return false;
}

QWidget *CommandContext::areaWidget(Area area) const
{
    QBoxLayout *layout = m_areas.value(area);
    return layout ? layout->parentWidget() : nullptr;
}

QString CommandContext::textBoxText() const
{
    return m_session.view().textBoxText();
}

void CommandContext::setTextBoxText(const QString &text)
{
    m_session.view().setTextBoxText(text);
}

void CommandContext::showMessageBox(const QString &text)
{
    m_session.view().showMessageBox(text);
}

bool CommandContext::addShortcut(QKeyCombination key, std::function<void()> action)
{
    if (m_keys.contains(key.toCombined()))
        return false;
    m_keys.insert(key.toCombined(), true);
    auto *shortcut = new QShortcut(QKeySequence(key), m_window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    return true;
}
