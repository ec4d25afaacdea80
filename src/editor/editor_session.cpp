#include "editor/editor_session.h"

#include "editor/editor_view.h"
#include "settings/app_folder.h"
#include "text/text_file.h"
#include "text/text_utils.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

QString textBoxToClipboard(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

EditorSession::EditorSession(EditorHost &host, EditorView &view) : m_host(host), m_view(view)
{}

std::optional<QString> EditorSession::getEditorHtml()
{
    std::optional<QString> html = zorvane::getEditorHtml(m_host);
    if (!html)
        m_view.showMessageBox(EditorText::PageNotAnswering);
    return html;
}

bool EditorSession::setEditorHtml(const QString &html)
{
    if (zorvane::setEditorHtml(m_host, html))
        return true;
    m_view.showMessageBox(EditorText::PageNotAnswering);
    return false;
}

bool EditorSession::keepArticleOnly()
{
    const std::optional<QString> html = getEditorHtml();
    if (!html)
        return false;
    if (html->isEmpty())
        return true;
    const std::optional<QString> article = keepArticle(m_host, *html);
    if (!article) {
        m_view.showMessageBox(EditorText::PageNotAnswering);
        return false;
    }
    return *article == *html || setEditorHtml(*article);
}

void EditorSession::ShowMsg(const QString &message, const QString &mode)
{
    if (mode == ModeName::Yc)
        m_view.setYcActionText(message);
    else if (mode == ModeName::Format)
        m_view.setFormatActionText(message);
}

bool EditorSession::requireNotSeoMode()
{
    if (m_mode != ModeName::Seo)
        return true;
    m_view.showMessageBox(EditorText::NotInSeoMode);
    return false;
}

bool EditorSession::requireNotPreview()
{
    if (!m_previewOn)
        return true;
    m_view.showMessageBox(EditorText::NotInPreview);
    return false;
}

bool EditorSession::requireNotTextMode()
{
    if (!m_textMode)
        return true;
    m_view.showMessageBox(EditorText::NotInTextMode);
    return false;
}

bool EditorSession::passes(Guards guards)
{
    if (guards.testFlag(Guard::NotSeoMode) && !requireNotSeoMode())
        return false;
    if (guards.testFlag(Guard::NotPreview) && !requireNotPreview())
        return false;
    if (guards.testFlag(Guard::NotTextMode) && !requireNotTextMode())
        return false;
    return true;
}

void EditorSession::clear()
{
    setEditorHtml(QString());
}

void EditorSession::copyFromEditor()
{
    if (!passes(CommandKind::CopyPaste))
        return;
    auto *mime = new QMimeData;
    if (m_textMode) {
        mime->setText(textBoxToClipboard(m_view.textBoxText()));
    } else {
        const std::optional<QString> html = getEditorHtml();
        if (!html) {
            delete mime;
            return;
        }
        // Both forms, as a browser copies: rich targets take the HTML,
        // plain ones the text as the browser renders it.
        const std::optional<QString> plain = m_host.plainTextOf(*html);
        mime->setHtml(*html);
        mime->setText(textBoxToClipboard(plain ? *plain : htmlToParagraphs(*html)));
    }
    QGuiApplication::clipboard()->setMimeData(mime);
    ShowMsg(EditorText::Copied);
}

void EditorSession::pasteIntoEditor()
{
    if (!passes(CommandKind::CopyPaste))
        return;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (m_textMode) {
        m_view.setTextBoxText(mime ? mime->text() : QString());
    } else {
        QString html;
        if (mime && mime->hasHtml())
            html = htmlFromClipboard(mime->html());
        else if (mime)
            html = plainTextToHtml(mime->text());
        if (!setEditorHtml(html))
            return;
    }
    ShowMsg(EditorText::Pasted);
}

void EditorSession::load()
{
    if (!passes(CommandKind::Load))
        return;
    const QString path = m_view.chooseOpenFile(
        {EditorText::LoadTitle, AppFolder::current().path(u"\\data"), QString(), EditorText::TextFileFilter});
    if (path.isEmpty())
        return;
    // The file's text is the article's HTML as it stands.
    if (!setEditorHtml(readTextFile(path)))
        return;
    ShowMsg(EditorText::LoadDone);
}

void EditorSession::save()
{
    if (!passes(CommandKind::Save))
        return;
    const std::optional<QString> html = getEditorHtml();
    if (!html)
        return;
    if (html->isEmpty()) {
        ShowMsg(EditorText::EditorEmpty);
        return;
    }
    const QString path = m_view.chooseSaveFile({EditorText::SaveTitle, AppFolder::current().path(u"\\data"),
                                                proposedSaveName(m_now()), EditorText::TextFileFilter});
    if (path.isEmpty())
        return;
    const bool written = writeGbkFile(path, *html + u"\r\n"_s);
    ShowMsg(written ? EditorText::SaveDone : EditorText::SaveFailed);
}

void EditorSession::toggleTextMode()
{
    if (!passes(CommandKind::TextModeToggle))
        return;
    if (m_textMode) {
        const QString html = plainTextToHtml(m_view.textBoxText());
        // The text stays on screen until the editor has taken it.
        if (!setEditorHtml(html))
            return;
        m_view.hideTextBox();
        m_view.setTextModeButton(EditorText::TextModeOff, IdleButtonColour);
        m_textMode = false;
        return;
    }
    // A preview left on would cover the editor again after text mode ends.
    if (m_previewOn)
        endPreview();
    const std::optional<QString> html = getEditorHtml();
    if (!html)
        return;
    const std::optional<QString> plain = m_host.plainTextOf(*html);
    if (!plain) {
        m_view.showMessageBox(EditorText::PageNotAnswering);
        return;
    }
    m_view.showTextBox(*plain);
    m_view.setTextModeButton(EditorText::TextModeOn, ActiveButtonColour);
    m_textMode = true;
}

void EditorSession::endPreview()
{
    m_view.hidePreview();
    m_previewOn = false;
    m_view.setPreviewButton(EditorText::PreviewOff, IdleButtonColour);
}

void EditorSession::togglePreview()
{
    if (!passes(CommandKind::PreviewToggle))
        return;
    if (m_previewOn) {
        endPreview();
        return;
    }
    const std::optional<QString> html = getEditorHtml();
    if (!html || html->isEmpty())
        return;
    m_view.setPreviewButton(EditorText::PreviewOn, ActiveButtonColour);
    m_view.showPreview(*html);
    m_previewOn = true;
}

QString plainTextToHtml(const QString &plain)
{
    QString html = plain;
    html.replace(u'&', u"&amp;"_s);
    html.replace(u'"', u"&quot;"_s);
    html.replace(u'<', u"&lt;"_s);
    html.replace(u'>', u"&gt;"_s);
    html.replace(u"\r\n"_s, u"\n"_s);
    html.replace(u'\n', u"<br>"_s);
    return html;
}

QString htmlFromClipboard(const QString &clipboardHtml)
{
    static const QRegularExpression fragment(u"<!--\\s*StartFragment\\s*-->(.*)<!--\\s*EndFragment\\s*-->"_s,
                                             QRegularExpression::DotMatchesEverythingOption
                                                 | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression body(u"<body[^>]*>(.*?)(?:</body>|$)"_s,
                                         QRegularExpression::DotMatchesEverythingOption
                                             | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression meta(u"^\\s*<meta[^>]*>"_s, QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = fragment.match(clipboardHtml); m.hasMatch())
        return m.captured(1);
    if (const QRegularExpressionMatch m = body.match(clipboardHtml); m.hasMatch())
        return m.captured(1);
    QString html = clipboardHtml;
    return html.remove(meta);
}

QString proposedSaveName(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::number(d.year()) + QString::number(d.month()) + QString::number(d.day()) + QString::number(t.hour())
           + QString::number(t.minute()) + QString::number(t.second());
}

} // namespace zorvane
