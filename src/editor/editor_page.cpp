#include "editor/editor_page.h"

#include <QDesktopServices>
#include <QWebEngineSettings>

using namespace Qt::StringLiterals;

namespace zorvane {

EditorPage::EditorPage(QObject *parent) : QWebEnginePage(parent)
{
    configure();
}

EditorPage::EditorPage(QWebEngineProfile *profile, QObject *parent) : QWebEnginePage(profile, parent)
{
    configure();
}

void EditorPage::configure()
{
    QWebEngineSettings *s = settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
}

void EditorPage::open(const QUrl &url)
{
    ++m_ownLoads;
    load(url);
}

void EditorPage::write(const QString &html)
{
    ++m_ownLoads;
    setHtml(html, QUrl(u"about:blank"_s));
}

void EditorPage::setScriptsEnabled(bool enabled)
{
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, enabled);
}

bool EditorPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return false;
    if (m_ownLoads > 0 && type != NavigationTypeLinkClicked && type != NavigationTypeFormSubmitted
        && type != NavigationTypeReload && type != NavigationTypeBackForward) {
        --m_ownLoads;
        return true;
    }
    if (type == NavigationTypeLinkClicked) {
        const QString scheme = url.scheme();
        if (scheme == u"http" || scheme == u"https" || scheme == u"mailto")
            QDesktopServices::openUrl(url);
    }
    return false;
}

QWebEnginePage *EditorPage::createWindow(WebWindowType)
{
    return nullptr;
}

void EditorPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &)
{
    // The silent browser: script messages of a pasted article are nobody's business.
}

} // namespace zorvane
