#pragma once

#include <QStackedWidget>

class QPlainTextEdit;
class QWebEngineView;

namespace zorvane {

class EditorPage;
class WebEditorHost;

// The editor and what can lie over it: the read-only preview (webPre) and
// the plain-text box of text mode (webText), the box above the preview. It
// owns the editor page, the host that talks to it, and the preview page.
class EditorStack : public QStackedWidget
{
    Q_OBJECT

public:
    explicit EditorStack(QWidget *parent = nullptr);
    ~EditorStack() override;

    EditorPage *page() const { return m_page; }
    WebEditorHost *host() const { return m_host; }
    // Opens the editor page of the application folder's "\lib\".
    void loadEditorPage();

    // The preview holding html, or hidden and emptied.
    void showPreview(const QString &html);
    void hidePreview();
    // The text box, focused; its text has CR LF line ends, as the article's.
    void showTextBox(const QString &text);
    void hideTextBox();
    QString textBoxText() const;
    void setTextBoxText(const QString &text);

    QWebEngineView *web = nullptr;
    QWebEngineView *webPre = nullptr;
    QPlainTextEdit *webText = nullptr;

private:
    void showTopmost();

    EditorPage *m_page = nullptr;
    WebEditorHost *m_host = nullptr;
    EditorPage *m_previewPage = nullptr;
    bool m_previewShown = false;
    bool m_textShown = false;
};

} // namespace zorvane
