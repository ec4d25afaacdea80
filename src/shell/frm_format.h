#pragma once

#include "editor/default_texts.h"
#include "editor/editor_view.h"
#include "shell/main_window_logic.h"

#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ClickableLabel;
class CommandContext;
class EditorPage;
class EditorSession;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QWebEngineView;
class ServiceClient;
class WebEditorHost;

// The main window: the editor with its preview and text views, the three
// mode buttons and their command panels, the user area, the notices and the
// advertisement. Features add their commands through CommandContext.
class frmFormat : public QWidget, public EditorView
{
    Q_OBJECT

public:
    struct Options
    {
        // Text handed over from the browser: forces the "yc" mode.
        bool startedWithText = false;
        // The logged-in user; a guest when empty.
        std::optional<UserInfo> user;
        QList<Notice> notices;
        // The service server; without it there is no advertisement and no
        // default text.
        ServiceClient *service = nullptr;
    };

    explicit frmFormat(Options options, QWidget *parent = nullptr);
    ~frmFormat() override;

    CommandContext &commands() const { return *m_commands; }
    EditorSession &editor() const { return *m_session; }
    WebEditorHost &editorHost() const { return *m_host; }

    // True once the editor page answers and the start content is in place.
    bool isLoaded() const { return m_loaded; }

    QString mode() const;
    // Sets the mode and applies it (changeFrm).
    void setMode(const QString &mode);
    void changeFrm();
    const DefaultTexts &defaultTexts() const { return m_defaultTexts; }

    void buildNotices(const QList<Notice> &notices);
    int currentNotice() const { return m_currentNotice; }
    void showAvatar(const QString &path);

    // While the program's tray icon shows, closing only hides the window.
    void setHideOnClose(bool hide) { m_hideOnClose = hide; }
    bool hiddenByClose() const { return m_hiddenByClose; }
    void setHiddenByClose(bool hidden) { m_hiddenByClose = hidden; }

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
    QPushButton *cmdCopy1 = nullptr;
    QPushButton *cmdPaste1 = nullptr;
    QPushButton *cmdCopy2 = nullptr;
    QPushButton *cmdPaste2 = nullptr;
    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdText = nullptr;
    ClickableLabel *lblPreView = nullptr;
    QPushButton *cmdClear = nullptr;
    QLabel *lblUsername = nullptr;
    QLabel *lblLevel = nullptr;
    QLabel *lblPoint = nullptr;
    QLabel *lblKestCoin = nullptr;
    ClickableLabel *imgFace = nullptr;
    ClickableLabel *lblAbout = nullptr;
    ClickableLabel *lblBbs = nullptr;
    ClickableLabel *lblReg = nullptr;
    QLabel *lblVision = nullptr;
    QList<ClickableLabel *> lblNotice;
    ClickableLabel *imgAd = nullptr;
    QTimer *timNotice = nullptr;

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
    void cmdCopy1_clicked();
    void cmdPaste1_clicked();
    void cmdCopy2_clicked();
    void cmdPaste2_clicked();
    void cmdLoad_clicked();
    void cmdSave_clicked();
    void cmdText_clicked();
    void lblPreView_clicked();
    void cmdClear_clicked();
    void imgFace_clicked();
    void lblAbout_clicked();
    void lblBbs_clicked();
    void lblReg_clicked();
    void imgAd_clicked();
    void timNotice_timeout();
    void lblNotice_clicked();
    void web_ready();
    void web_loadFailed();
    void web_pageRestarted();

private:
    void buildWindow();
    void buildEditorCommands();
    void fillUserArea(const std::optional<UserInfo> &user);
    void fetchAdvertisement();
    void fetchDefaultTexts();
    void finishLoadWhenReady();
    void showPanels();
    void updateEditorStack();
    void openForumPage(const QString &path);

    Options m_options;
    EditorPage *m_page = nullptr;
    EditorPage *m_previewPage = nullptr;
    WebEditorHost *m_host = nullptr;
    std::unique_ptr<EditorSession> m_session;
    CommandContext *m_commands = nullptr;
    QStackedWidget *m_editorStack = nullptr;
    QHBoxLayout *m_noticeRow = nullptr;

    DefaultTexts m_defaultTexts;
    std::optional<QString> m_handOffText;
    QString m_adLink;
    QList<Notice> m_notices;
    int m_currentNotice = 0;
    int m_pendingFetches = 0;
    bool m_pageReady = false;
    bool m_loaded = false;
    bool m_previewShown = false;
    bool m_textShown = false;
    bool m_hideOnClose = false;
    bool m_hiddenByClose = false;

    std::function<void(const QString &)> m_messageSink;
    std::function<bool(const QString &, const QString &)> m_questionSink;
    std::function<QString(const FileChoice &, bool save)> m_fileChooser;
};
