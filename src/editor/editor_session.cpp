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
    // One pass: replacing each character in turn moves the rest of a long
    // text once per replacement.
    QString html;
    html.reserve(plain.size() + plain.size() / 8);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (c == u'&')
            html += u"&amp;"_s;
        else if (c == u'"')
            html += u"&quot;"_s;
        else if (c == u'<')
            html += u"&lt;"_s;
        else if (c == u'>')
            html += u"&gt;"_s;
        else if (c == u'\r' && i + 1 < plain.size() && plain[i + 1] == u'\n')
            continue; // the line feed after it makes the break
        else if (c == u'\n')
            html += u"<br>"_s;
        else
            html += c;
    }
    return html;
}

namespace {

// "\s" of the patterns the clipboard was first read with.
bool isPatternSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The end of "<!--\s*WORD\s*-->" when it begins at `at`, else -1.
qsizetype fragmentMarkEnd(QStringView text, qsizetype at, QLatin1StringView word)
{
    if (!text.sliced(at).startsWith(u"<!--"))
        return -1;
    qsizetype k = at + 4;
    while (k < text.size() && isPatternSpace(text[k]))
        ++k;
    if (!caselessAt(text, k, word))
        return -1;
    k += word.size();
    while (k < text.size() && isPatternSpace(text[k]))
        ++k;
    return text.sliced(k).startsWith(u"-->") ? k + 3 : -1;
}

} // namespace

// What the patterns "<!--\s*StartFragment\s*-->(.*)<!--\s*EndFragment\s*-->",
// "<body[^>]*>(.*?)(?:</body>|$)" and "^\s*<meta[^>]*>" (without case, "."
// taking line breaks) found, in one pass each: a clipboard may hold a whole
// long page.
QString htmlFromClipboard(const QString &clipboardHtml)
{
    const QStringView text(clipboardHtml);
    // The first start mark, to the last end mark after it.
    qsizetype fragment = -1;
    for (qsizetype at = text.indexOf(u"<!--"); at >= 0 && fragment < 0; at = text.indexOf(u"<!--", at + 1))
        fragment = fragmentMarkEnd(text, at, "startfragment"_L1);
    if (fragment >= 0) {
        qsizetype lastEnd = -1;
        for (qsizetype at = text.indexOf(u"<!--", fragment); at >= 0; at = text.indexOf(u"<!--", at + 1)) {
            if (fragmentMarkEnd(text, at, "endfragment"_L1) >= 0)
                lastEnd = at;
        }
        if (lastEnd >= 0)
            return text.sliced(fragment, lastEnd - fragment).toString();
    }
    // The first body tag's content, to its end tag or the end of the text
    // (before a last line feed, where "$" matches first).
    if (const qsizetype body = caselessIndexOf(text, "<body"_L1); body >= 0) {
        if (const qsizetype open = text.indexOf(u'>', body + 5); open >= 0) {
            qsizetype end = text.endsWith(u'\n') && text.size() - 1 >= open + 1 ? text.size() - 1 : text.size();
            const qsizetype close = caselessIndexOf(text, "</body>"_L1, open + 1);
            if (close >= 0 && close < end)
                end = close;
            return text.sliced(open + 1, end - open - 1).toString();
        }
    }
    // A meta tag leading the text, blanks before it included.
    qsizetype k = 0;
    while (k < text.size() && isPatternSpace(text[k]))
        ++k;
    if (caselessAt(text, k, "<meta"_L1)) {
        if (const qsizetype close = text.indexOf(u'>', k + 5); close >= 0)
            return text.sliced(close + 1).toString();
    }
    return clipboardHtml;
}

QString proposedSaveName(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::number(d.year()) + QString::number(d.month()) + QString::number(d.day()) + QString::number(t.hour())
           + QString::number(t.minute()) + QString::number(t.second());
}

} // namespace zorvane
