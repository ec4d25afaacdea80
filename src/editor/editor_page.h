#pragma once

#include <QUrl>
#include <QWebEnginePage>

namespace zorvane {

// A web page that stays where the program put it. Only the documents the
// program itself opens (open(), write()) are loaded; any other navigation of
// the main frame (a clicked link, a dropped file, a script changing location,
// a reload) is refused, so the article can never be replaced behind the
// program's back. Clicked web links open in the system browser instead.
// Local documents may not read other local files.
class EditorPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit EditorPage(QObject *parent = nullptr);
    EditorPage(QWebEngineProfile *profile, QObject *parent);

    void open(const QUrl &url);
    // Replaces the document with html (as a document written from scratch).
    void write(const QString &html);

    // Whether the page's own scripts run (off for documents that only show
    // an article: an article must never run anything).
    void setScriptsEnabled(bool enabled);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    void configure();

    int m_ownLoads = 0;
};

} // namespace zorvane
