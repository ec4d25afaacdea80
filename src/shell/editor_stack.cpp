#include "shell/editor_stack.h"

#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/web_editor_host.h"
#include "settings/app_folder.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace zorvane {

EditorStack::EditorStack(QWidget *parent) : QStackedWidget(parent)
{
    web = new QWebEngineView(this);
    web->setObjectName(u"web"_s);
    webPre = new QWebEngineView(this);
    webPre->setObjectName(u"webPre"_s);
    webText = new QPlainTextEdit(this);
    webText->setObjectName(u"webText"_s);
    m_page = new EditorPage(this);
    m_previewPage = new EditorPage(this);
    m_previewPage->setScriptsEnabled(false);
    web->setPage(m_page);
    webPre->setPage(m_previewPage);
    m_host = new WebEditorHost(m_page);
    // Only editing actions: the browser's own menu would offer to reload or
    // leave the page.
    web->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(web, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(web);
        for (const QWebEnginePage::WebAction action :
             {QWebEnginePage::Undo, QWebEnginePage::Redo, QWebEnginePage::Cut, QWebEnginePage::Copy,
              QWebEnginePage::Paste, QWebEnginePage::SelectAll})
            menu.addAction(m_page->action(action));
        menu.exec(web->mapToGlobal(at));
    });
    webPre->setContextMenuPolicy(Qt::NoContextMenu);
    addWidget(web);
    addWidget(webPre);
    addWidget(webText);
}

EditorStack::~EditorStack()
{
    // The host goes before the page it talks to, the pages before the views
    // and the profile they belong to.
    delete m_host;
    web->setPage(nullptr);
    webPre->setPage(nullptr);
    delete m_page;
    delete m_previewPage;
}

void EditorStack::loadEditorPage()
{
    installEditorScheme(m_page->profile(), AppFolder::current().path(u"\\lib"));
    m_host->load(editorPageUrl());
}

void EditorStack::showTopmost()
{
    setCurrentWidget(m_textShown      ? static_cast<QWidget *>(webText)
                     : m_previewShown ? static_cast<QWidget *>(webPre)
                                      : static_cast<QWidget *>(web));
}

void EditorStack::showPreview(const QString &html)
{
    m_previewPage->write(html);
    m_previewShown = true;
    showTopmost();
}

void EditorStack::hidePreview()
{
    m_previewPage->write(QString());
    m_previewShown = false;
    showTopmost();
}

void EditorStack::showTextBox(const QString &text)
{
    setTextBoxText(text);
    m_textShown = true;
    showTopmost();
    webText->setFocus();
}

void EditorStack::hideTextBox()
{
    m_textShown = false;
    showTopmost();
}

QString EditorStack::textBoxText() const
{
    // The box keeps line feeds; the article's text uses CR LF.
    QString text = webText->toPlainText();
    return text.replace(u"\n"_s, u"\r\n"_s);
}

void EditorStack::setTextBoxText(const QString &text)
{
    QString plain = text;
    webText->setPlainText(plain.replace(u"\r\n"_s, u"\n"_s));
}

} // namespace zorvane
