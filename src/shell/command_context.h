#pragma once

#include "editor/editor_session.h"

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QBoxLayout;
class QWidget;

// The main window as a feature's commands see it.
//
// A feature (formatting, checks, rewriting, images, settings, …) adds its
// commands to the main window through one class of its own in shell/, for
// example FormatCommands in format_commands.{h,cpp}:
//
//     class FormatCommands : public QObject
//     {
//         Q_OBJECT
//     public:
//         explicit FormatCommands(CommandContext &context);
//         QPushButton *cmdOneKey = nullptr;        // named controls, objectName set
//     private Q_SLOTS:
//         void cmdOneKey_clicked();
//     private:
//         CommandContext &m_context;
//     };
//
// Its constructor creates its controls and puts them where they belong
// (context.area(CommandContext::Area::FormatPanel)->addWidget(cmdOneKey)),
// registers its keys (context.addShortcut(Qt::CTRL | Qt::Key_G, [this] {…})),
// and reads what it needs from the settings. One line in
// installFeatureCommands() (feature_commands.cpp) creates it, with the
// window as its parent; its sources go into src/shell/CMakeLists.txt. A
// command then runs:
//
//     if (!m_context.passes(CommandKind::ArticleCommand))   // the guards
//         return;
//     const std::optional<QString> html = m_context.getEditorHtml();
//     if (!html)
//         return;                        // page did not answer: user told, nothing changed
//     m_context.ShowMsg(u"正在…"_s);      // status label of the current mode
//     if (m_context.setEditorHtml(FormatHtml(*html, FormatMode::OneKeyFormat)))
//         m_context.ShowMsg(u"…完毕"_s);
//
// Message boxes go through showMessageBox() (tests collect them instead of
// blocking). Only commands that exist are ever added, so a panel shows
// exactly what works; the "seo" mode and its button appear only when its
// panel holds a control.
class CommandContext : public QObject
{
    Q_OBJECT

public:
    enum class Area {
        FormatPanel, // frm1, shown in the "format" mode
        YcPanel,     // frm2, shown in the "yc" mode
        SeoPanel,    // frm3, shown in the "seo" mode
        Links,       // the link row at the top right (lblAbout, lblBbs, lblReg, …)
        EditorBar,   // the row under the editor (load, save, text mode, preview, clear)
    };

    CommandContext(EditorSession &session, QWidget *window);

    // The article, the guards, the status labels and the view flags.
    EditorSession &editor() const { return m_session; }
    std::optional<QString> getEditorHtml() { return m_session.getEditorHtml(); }
    bool setEditorHtml(const QString &html) { return m_session.setEditorHtml(html); }
    // Clicks an element of the editor page ("buttonj2f", "buttonf2j"); false
    // when the page did not answer.
    bool clickEditorElement(const QString &id);
    void ShowMsg(const QString &text) { m_session.ShowMsg(text); }
    void ShowMsg(const QString &text, const QString &mode) { m_session.ShowMsg(text, mode); }
    bool requireNotSeoMode() { return m_session.requireNotSeoMode(); }
    bool requireNotPreview() { return m_session.requireNotPreview(); }
    bool requireNotTextMode() { return m_session.requireNotTextMode(); }
    bool passes(CommandKind kind) { return m_session.passes(kind); }
    bool passes(Guards guards) { return m_session.passes(guards); }
    QString mode() const { return m_session.mode(); }
    bool previewOn() const { return m_session.previewOn(); }
    bool textMode() const { return m_session.textMode(); }
    // The text box of text mode (CR LF line ends), for commands that work on
    // it while text mode is on.
    QString textBoxText() const;
    void setTextBoxText(const QString &text);

    // A modal box with the program's title and one OK button.
    void showMessageBox(const QString &text);
    // The parent for a feature's own dialogs.
    QWidget *window() const { return m_window; }
    // Where a feature puts its controls.
    QBoxLayout *area(Area area) const { return m_areas.value(area); }
    // The widget that holds an area (to disable a whole panel while it works).
    QWidget *areaWidget(Area area) const;
    // A key of the main window: it works wherever the focus is in the window,
    // including the editor. False when the key is already taken.
    bool addShortcut(QKeyCombination key, std::function<void()> action);

    // Used by the main window to lay out the areas.
    void setArea(Area area, QBoxLayout *layout) { m_areas.insert(area, layout); }

Q_SIGNALS:
    // After the mode changed (a mode button, or the start mode at load).
    void modeChanged(const QString &mode);

private:
    EditorSession &m_session;
    QWidget *m_window;
    QHash<Area, QBoxLayout *> m_areas;
    QHash<int, bool> m_keys;
};
