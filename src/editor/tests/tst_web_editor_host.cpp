#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/web_editor_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

// The real editor page in a real browser.
class TestWebEditorHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pageBecomesReady();

private:
    QWebEngineView *m_view = nullptr;
    EditorPage *m_page = nullptr;
    WebEditorHost *m_host = nullptr;
};

void TestWebEditorHost::initTestCase()
{
    m_view = new QWebEngineView;
    m_page = new EditorPage(m_view);
    m_view->setPage(m_page);
    m_view->resize(900, 700);
    m_view->show();
    m_host = new WebEditorHost(m_page, m_view);
    QSignalSpy ready(m_host, &WebEditorHost::ready);
    QSignalSpy failed(m_host, &WebEditorHost::loadFailed);
    connect(m_page, &QWebEnginePage::loadFinished, this, [](bool ok) { qDebug() << "loadFinished" << ok; });
    installEditorScheme(m_page->profile(), QStringLiteral(ZORVANE_APP_DIR "/lib"));
    m_host->load(editorPageUrl());
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() || !failed.isEmpty(), 20000);
    QVERIFY(failed.isEmpty());
}

void TestWebEditorHost::pageBecomesReady()
{
    QVERIFY(m_host->isReady());
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    TestWebEditorHost test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_web_editor_host.moc"
