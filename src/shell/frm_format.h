#pragma once

#include "editor/editor_view.h"
#include "net/user_record.h"
#include "shell/feature_commands.h"
#include "shell/main_window_logic.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWebEngineView;

namespace zorvane {

class CommandContext;
class EditorSession;
class EditorStack;
class ServiceClient;
class StartContent;
class WebEditorHost;
class WordLibraries;

// The main window: the editor with its preview and text views over it, the
// three mode buttons and their panels, and the rows that hold the command
// groups (installFeatureCommands(), through CommandContext). It owns the mode
// and closing; everything else on it belongs to a command group.
class frmFormat : public QWidget, public EditorView
{
    Q_OBJECT

public:
    struct Options
    {
        // Text handed over from the browser: forces the "yc" mode.
        bool startedWithText = false;
        // The logged-in user; a guest when empty.
        std::optional<UserRecord> user;
        QList<Notice> notices;
        // The service server; without it there is no advertisement and no
        // default text.
        ServiceClient *service = nullptr;
        // The word libraries of the run, kept by the program; without them
        // the window keeps its own.
        WordLibraries *libraries = nullptr;
    };

    explicit frmFormat(Options options, QWidget *parent = nullptr);
    ~frmFormat() override;

    CommandContext &commands() const { return *m_commands; }
    EditorSession &editor() const { return *m_session; }
    WebEditorHost &editorHost() const { return *m_host; }
    EditorCommands &editorCommands() const { return *m_groups.editor; }
    UserArea &userArea() const { return *m_groups.userArea; }
    NoticeBar &noticeBar() const { return *m_groups.noticeBar; }

    // True once the editor page answers and the start content is in place.
    bool isLoaded() const;

    QString mode() const;
    // Sets the mode and applies it (changeFrm).
    void setMode(const QString &mode);
    void changeFrm();
    // Text a later start of the program handed over: the "yc" mode with the
    // text in the editor.
    void receiveHandOff(const QString &html);

    // While the program's tray icon shows, closing only hides the window.
    void setHideOnClose(bool hide) { m_hideOnClose = hide; }
    bool hideOnClose() const { return m_hideOnClose; }
    bool hiddenByClose() const { return m_hideOnClose && isHidden(); }

    // Tests replace the modal parts: messages, questions and file dialogs.
    void setMessageSink(std::function<void(const QString &)> sink) { m_messageSink = std::move(sink); }
    void setQuestionSink(std::function<bool(const QString &title, const QString &text)> sink)
    {
        m_questionSink = std::move(sink);
    }
    void setFileChooser(std::function<QString(const FileChoice &, bool save)> chooser)
    {
        m_fileChooser = std::move(chooser);
    }

    // EditorView
    void showMessageBox(const QString &text) override;
    bool askOkCancel(const QString &title, const QString &text) override;
    void setFormatActionText(const QString &text) override;
    void setYcActionText(const QString &text) override;
    QString chooseOpenFile(const FileChoice &choice) override;
    QString chooseSaveFile(const FileChoice &choice) override;
    void showPreview(const QString &html) override;
    void hidePreview() override;
    void setPreviewButton(const QString &caption, const QColor &colour) override;
    void showTextBox(const QString &text) override;
    void hideTextBox() override;
    QString textBoxText() const override;
    void setTextBoxText(const QString &text) override;
    void setTextModeButton(const QString &caption, const QColor &colour) override;

    // Named controls.
    QLabel *lblTitle = nullptr;
    QPushButton *cmdFormat = nullptr;
    QPushButton *cmdYC = nullptr;
    QPushButton *cmdSEO = nullptr;
    QWidget *frm1 = nullptr;
    QWidget *frm2 = nullptr;
    QWidget *frm3 = nullptr;
    QWebEngineView *web = nullptr;
    QWebEngineView *webPre = nullptr;
    QPlainTextEdit *webText = nullptr;
    QLabel *lblFormatAction = nullptr;
    QLabel *lblYcAction = nullptr;
    QLabel *lblVision = nullptr;

Q_SIGNALS:
    // The editor page answers (the user can work from now on).
    void editorReady();
    // The start content (hand-off or default text) is in place as well.
    void loaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void cmdFormat_clicked();
    void cmdYC_clicked();
    void cmdSEO_clicked();
    void web_loadFailed();
    void web_pageRestarted();
    void start_placed();

private:
    void buildWindow();
    QLayout *buildTitleRow();
    QLayout *buildEditorAndPanels();
    QLayout *buildBottomRow();
    void buildEditor();
    void startContent(const Options &options);
    void showPanels();

    std::unique_ptr<WordLibraries> m_ownLibraries;
    WordLibraries *m_libraries = nullptr;
    EditorStack *m_editorStack = nullptr;
    WebEditorHost *m_host = nullptr;
    std::unique_ptr<EditorSession> m_session;
    CommandContext *m_commands = nullptr;
    InstalledCommands m_groups;
    StartContent *m_start = nullptr;

    bool m_hideOnClose = false;

    std::function<void(const QString &)> m_messageSink;
    std::function<bool(const QString &, const QString &)> m_questionSink;
    std::function<QString(const FileChoice &, bool save)> m_fileChooser;
};

} // namespace zorvane
