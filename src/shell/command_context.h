#pragma once

#include "editor/editor_view.h"
#include "editor/guards.h"
#include "editor/mode_name.h"

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QBoxLayout;
class QWidget;

namespace zorvane {

class EditorSession;
class ServiceClient;
class WordLibraries;
struct SettingsSnapshot;

// The main window as a command group sees it: the only way in.
//
// Every control of the main window beyond its layout and its mode buttons
// belongs to one command group: a QObject in its own file in shell/, created
// by one line in installFeatureCommands() (feature_commands.cpp). Each takes
// the context and nothing else, and lives as long as the window:
//
//     class SeoCommands : public QObject
//     {
//         Q_OBJECT
//     public:
//         explicit SeoCommands(CommandContext &context);
//         QPushButton *cmdQuery = nullptr;      // named controls, objectName set
//     private Q_SLOTS:
//         void cmdQuery_clicked();
//     private:
//         CommandContext &m_context;
//     };
//
//     SeoCommands::SeoCommands(CommandContext &context) : QObject(&context), m_context(context)
//     {
//         QWidget *panel = context.areaWidget(CommandContext::Area::SeoPanel);
//         cmdQuery = new QPushButton(u"查询"_s, panel);   // a widget gets its parent
//         cmdQuery->setObjectName(u"cmdQuery"_s);
//         context.area(CommandContext::Area::SeoPanel)->addWidget(cmdQuery);
//         connect(cmdQuery, &QPushButton::clicked, this, &SeoCommands::cmdQuery_clicked);
//         context.addShortcut(Qt::CTRL | Qt::Key_Q, [this] { cmdQuery_clicked(); });
//         connect(&context, &CommandContext::modeChanged, this, [](const QString &mode) { … });
//     }
//
// A command that works on the article runs:
//
//     if (!m_context.passes(CommandKind::ArticleCommand))   // the guards
//         return;
//     const SettingsSnapshot settings = m_context.readSettings();   // once, at its start
//     const std::optional<QString> html = m_context.getEditorHtml();
//     if (!html)
//         return;                     // page did not answer: user told, nothing changed
//     m_context.ShowMsg(u"正在…"_s);   // status label of the current mode
//     const QString result = FormatHtml(*html, FormatMode::OneKeyFormat, settings.format, settings.checks,
//                                       m_context.libraries().typosFor(FormatMode::OneKeyFormat, settings.format));
//     if (m_context.setEditorHtml(result))
//         m_context.ShowMsg(u"…完毕"_s);
//
// Message boxes, OK/Cancel questions and file dialogs go through the context
// too (tests answer them with a RecordingView instead of a user); a
// feature's own dialog takes window() as its parent. Network work takes its
// server from net/servers.h, or service() for the maker's service server.
// Only commands that exist are ever added, so a panel shows exactly what
// works; the "seo" mode and its button appear only when its panel holds a
// control.
class CommandContext : public QObject
{
    Q_OBJECT

public:
    enum class Area {
        FormatPanel, // frm1, shown in the "format" mode
        YcPanel,     // frm2, shown in the "yc" mode
        SeoPanel,    // frm3, shown in the "seo" mode
        Links,       // the link row at the top right (lblAbout, lblBbs, lblReg, lblSetting, …)
        EditorBar,   // the row under the editor (load, save, text mode, preview, clear, count)
        User,        // the user area at the top (imgFace and the user's labels)
        Notices,     // the bottom row after the version label (notices, advertisement)
    };

    // window: the main window, which shows the article of session; libraries:
    // the word libraries of the run.
    CommandContext(EditorSession &session, QWidget *window, WordLibraries &libraries);

    // The settings as they stand now: a command reads them once, at its start.
    SettingsSnapshot readSettings() const;
    // The word libraries of the run, loaded at their first use.
    WordLibraries &libraries() const { return m_libraries; }

    // The article. A page that does not answer is reported to the user and
    // gives nullopt or false; the caller then changes nothing.
    std::optional<QString> getEditorHtml();
    bool setEditorHtml(const QString &html);
    // Keeps only the article of a whole page pasted into the editor (false,
    // the user told, when the page did not answer).
    bool keepArticleOnly();
    // Clicks an element of the editor page ("buttonj2f", "buttonf2j").
    bool clickEditorElement(const QString &id);
    // The text box of text mode (CR LF line ends), for commands that work on
    // it while text mode is on.
    QString textBoxText() const;
    void setTextBoxText(const QString &text);

    // The mode, the views over the editor and the guards of its commands.
    QString mode() const;
    bool previewOn() const;
    bool textMode() const;
    bool requireNotSeoMode();
    bool requireNotPreview();
    bool requireNotTextMode();
    bool passes(CommandKind kind);
    bool passes(Guards guards);
    // The status label of the current mode, or of mode.
    void ShowMsg(const QString &text);
    void ShowMsg(const QString &text, const QString &mode);

    // The editor's own commands, each with its guards.
    void loadFile();
    void saveFile();
    void toggleTextMode();
    void togglePreview();
    void clearEditor();
    void copyFromEditor();
    void pasteIntoEditor();

    // Asking the user: a box with the program's title and one OK button, an
    // OK/Cancel question (true on OK), the file dialogs ("" when cancelled).
    void showMessageBox(const QString &text);
    bool askOkCancel(const QString &title, const QString &text);
    QString chooseOpenFile(const FileChoice &choice);
    QString chooseSaveFile(const FileChoice &choice);
    // The parent of a feature's own dialogs.
    QWidget *window() const { return m_window; }

    // Where a feature puts its controls, and the widget that holds an area
    // (the parent of those controls; disabling it disables the panel).
    QBoxLayout *area(Area area) const { return m_areas.value(area); }
    QWidget *areaWidget(Area area) const;
    // A key of the main window: it works wherever the focus is in the window,
    // including the editor. A key already taken is refused: a warning names
    // it and the result is false.
    bool addShortcut(QKeyCombination key, std::function<void()> action);

    // The maker's service server; null when the program runs without one.
    ServiceClient *service() const { return m_service; }

    // Used by the main window to lay out the areas and pass the server on.
    void setArea(Area area, QBoxLayout *layout) { m_areas.insert(area, layout); }
    void setService(ServiceClient *service) { m_service = service; }

Q_SIGNALS:
    // After the mode changed (a mode button, or the start mode at load).
    void modeChanged(const QString &mode);

private:
    EditorSession &m_session;
    QWidget *m_window;
    WordLibraries &m_libraries;
    ServiceClient *m_service = nullptr;
    QHash<Area, QBoxLayout *> m_areas;
    QHash<int, bool> m_keys;
};

} // namespace zorvane
