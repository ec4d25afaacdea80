#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/web_editor_host.h"
#include "testsupport/sample_pages.h"
#include "testsupport/url_catcher.h"
#include "text/text_file.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Describes the images (every attribute), links and paragraphs of an HTML
// text, as the browser parses it.
const char DescribeScript[] = R"((function (html) {
  var doc = new DOMParser().parseFromString(html, 'text/html');
  function norm(s) { return s.replace(/\s+/g, ' ').trim(); }
  var images = Array.prototype.map.call(doc.images, function (img) {
    var attrs = {};
    Array.prototype.forEach.call(img.attributes, function (a) { attrs[a.name] = a.value; });
    return attrs;
  });
  var links = Array.prototype.map.call(doc.querySelectorAll('a[href]'), function (a) {
    return { href: a.getAttribute('href'), text: norm(a.textContent) };
  });
  var paragraphs = Array.prototype.map.call(doc.querySelectorAll('p'), function (p) { return norm(p.textContent); });
  return JSON.stringify({ images: images, links: links, paragraphs: paragraphs });
}))";

class ProbePage : public EditorPage
{
public:
    using EditorPage::acceptNavigationRequest;
    using EditorPage::EditorPage;
};

} // namespace

// The real editor page in a real browser.
class TestWebEditorHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void setGet_keepsImagesLinksAndParagraphs_data();
    void setGet_keepsImagesLinksAndParagraphs();
    void setGet_emptyArticleIsAnAnswer();
    void scriptButtons_convertBothWays();
    void injectedScript_runsNothing();
    void navigationAway_isRefused();
    void linkClick_opensSystemBrowserOnly();
    void plainTextOf_rendersParagraphsAsLines();
    void waitingForThePage_isBusyThenIdle();
    void pageNotReady_requestsFail();
    void rendererCrash_reopensPage();
    void scheme_servesOnlyFilesBelowItsFolder_data();
    void scheme_servesOnlyFilesBelowItsFolder();

private:
    QString describe(const QString &html);

    QWebEngineView *m_view = nullptr;
    ProbePage *m_page = nullptr;
    WebEditorHost *m_host = nullptr;
};

void TestWebEditorHost::initTestCase()
{
    m_view = new QWebEngineView;
    m_page = new ProbePage(m_view);
    m_view->setPage(m_page);
    m_view->resize(900, 700);
    m_view->show();
    m_host = new WebEditorHost(m_page, m_view);
    QSignalSpy ready(m_host, &WebEditorHost::ready);
    QSignalSpy failed(m_host, &WebEditorHost::loadFailed);
    installEditorScheme(m_page->profile(), QString::fromUtf8(ZORVANE_APP_DIR "/lib"));
    m_host->load(editorPageUrl());
    QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() || !failed.isEmpty(), 30000);
    QVERIFY(failed.isEmpty());
    QVERIFY(m_host->isReady());
}

void TestWebEditorHost::cleanupTestCase()
{
    delete m_view;
}

QString TestWebEditorHost::describe(const QString &html)
{
    const std::optional<QVariant> result =
        m_host->evaluate(QString::fromUtf8(DescribeScript) + u'(' + jsStringLiteral(html) + u')');
    return result ? result->toString() : QString();
}

void TestWebEditorHost::setGet_keepsImagesLinksAndParagraphs_data()
{
    QTest::addColumn<QString>("path");
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    const QDir articles(sampleArticlesFolder());
    const QStringList names = articles.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << articles.filePath(name + u"/expected.html"_s);
}

void TestWebEditorHost::setGet_keepsImagesLinksAndParagraphs()
{
    QFETCH(QString, path);
    const QString html = readTextFile(path);
    QVERIFY(!html.isEmpty());
    QVERIFY(setEditorHtml(*m_host, html));
    const std::optional<QString> back = getEditorHtml(*m_host);
    QVERIFY(back);
    const QString before = describe(html);
    const QString after = describe(*back);
    QVERIFY(before.contains(u"\"images\":[{"_s));
    QCOMPARE(after, before);
}

void TestWebEditorHost::setGet_emptyArticleIsAnAnswer()
{
    QVERIFY(setEditorHtml(*m_host, QString()));
    QCOMPARE(getEditorHtml(*m_host), QString());
}

void TestWebEditorHost::scriptButtons_convertBothWays()
{
    QVERIFY(setEditorHtml(*m_host, u"<p class=\"k\">简体中文</p>"_s));
    QVERIFY(m_host->clickElement(EditorElement::ToTraditional));
    const std::optional<QString> traditional = getEditorHtml(*m_host);
    QVERIFY(traditional);
    QCOMPARE(*traditional, u"<p class=\"k\">簡體中文</p>"_s);
    QVERIFY(m_host->clickElement(EditorElement::ToSimplified));
    QCOMPARE(getEditorHtml(*m_host), u"<p class=\"k\">简体中文</p>"_s);
}

void TestWebEditorHost::injectedScript_runsNothing()
{
    QVERIFY(m_host->evaluate(u"delete window.pwned; true"_s));
    const QString hostile = u"<p>正文</p><img src=\"zorvane://editor/none.png\" onerror=\"window.pwned=1\">"
                            "<script>window.pwned=2</script><a href=\"javascript:window.pwned=3\">链接</a>"
                            "<svg><image href=\"x\" onerror=\"window.pwned=4\"></image></svg>"_s;
    QVERIFY(setEditorHtml(*m_host, hostile));
    // Wait until the broken image has failed to load: its handler would have run by then.
    QTRY_VERIFY_WITH_TIMEOUT(
        m_host->evaluate(u"Array.prototype.every.call(document.images, function (i) { return i.complete; })"_s)
            .value_or(false)
            .toBool(),
        10000);
    QVERIFY(m_host->clickElement(u"get"_s));
    QCOMPARE(m_host->evaluate(u"typeof window.pwned"_s).value_or(QVariant()).toString(), u"undefined"_s);
    const std::optional<QString> back = getEditorHtml(*m_host);
    QVERIFY(back);
    QVERIFY(back->contains(u"正文"_s));
    QVERIFY(!back->contains(u"onerror"_s));
    QVERIFY(!back->contains(u"<script"_s));
    QVERIFY(!back->contains(u"javascript:"_s));
}

void TestWebEditorHost::navigationAway_isRefused()
{
    QVERIFY(setEditorHtml(*m_host, u"<p>留下的文章</p>"_s));
    const QUrl page = m_page->url();
    for (const QString &script : {u"location.href = 'zorvane://editor/licenses/jodit.txt'; true"_s,
                                  u"location.href = 'file:///etc/hostname'; true"_s, u"location.reload(); true"_s}) {
        QVERIFY(m_host->evaluate(script));
        // One more round trip: the request has been decided by then.
        QVERIFY(m_host->evaluate(u"true"_s));
        QCOMPARE(m_page->url(), page);
        QCOMPARE(getEditorHtml(*m_host), u"<p>留下的文章</p>"_s);
        QCOMPARE(m_host->evaluate(u"window.zorvaneEditorReady"_s).value_or(false), QVariant(true));
    }
}

void TestWebEditorHost::linkClick_opensSystemBrowserOnly()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"http"_s, &catcher, "open");
    QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
    const QUrl web(u"http://example.com/a.html"_s);
    QVERIFY(!m_page->acceptNavigationRequest(web, QWebEnginePage::NavigationTypeLinkClicked, true));
    QVERIFY(!m_page->acceptNavigationRequest(QUrl(u"file:///etc/passwd"_s), QWebEnginePage::NavigationTypeLinkClicked,
                                             true));
    QVERIFY(!m_page->acceptNavigationRequest(web, QWebEnginePage::NavigationTypeTyped, true));
    QVERIFY(!m_page->acceptNavigationRequest(web, QWebEnginePage::NavigationTypeOther, false));
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"file"_s);
    QCOMPARE(catcher.opened, QList<QUrl>{web});
}

void TestWebEditorHost::plainTextOf_rendersParagraphsAsLines()
{
    const std::optional<QString> text =
        m_host->plainTextOf(u"<p>第一段</p><p>第二段<br>换行</p><script>document.body.innerHTML='x'</script>"_s);
    QVERIFY(text);
    QVERIFY2(text->contains(u"第一段\r\n"_s), qPrintable(*text));
    QVERIFY2(text->contains(u"第二段\r\n换行"_s), qPrintable(*text));
    QVERIFY(!text->contains(u'\n') || text->count(u'\n') == text->count(u"\r\n"_s));
}

void TestWebEditorHost::waitingForThePage_isBusyThenIdle()
{
    // What arrives while a request waits (a network reply) sees the host
    // busy, the scratch page's load included, and hears when it is idle.
    QSignalSpy idle(m_host, &WebEditorHost::idle);
    std::optional<bool> busyMeanwhile;
    QTimer::singleShot(0, m_host, [&] { busyMeanwhile = m_host->isBusy(); });
    QVERIFY(m_host->plainTextOf(u"<p>一段</p>"_s));
    QCOMPARE(busyMeanwhile, std::optional<bool>(true));
    QVERIFY(!m_host->isBusy());
    QVERIFY(!idle.isEmpty());
}

void TestWebEditorHost::pageNotReady_requestsFail()
{
    auto *page = new EditorPage(m_view);
    WebEditorHost idle(page);
    QVERIFY(!setEditorHtml(idle, u"<p>x</p>"_s));
    QVERIFY(!getEditorHtml(idle));
    QVERIFY(!idle.clickElement(u"get"_s));
    delete page;
}

void TestWebEditorHost::rendererCrash_reopensPage()
{
    QSignalSpy restarted(m_host, &WebEditorHost::pageRestarted);
    QSignalSpy ready(m_host, &WebEditorHost::ready);
    m_page->open(QUrl(u"chrome://crash"_s));
    QVERIFY(restarted.wait(20000));
    // Until the page is back, requests fail at once instead of waiting.
    QVERIFY(!getEditorHtml(*m_host));
    QVERIFY(ready.wait(30000));
    QVERIFY(setEditorHtml(*m_host, u"<p>又能用了</p>"_s));
    QCOMPARE(getEditorHtml(*m_host), u"<p>又能用了</p>"_s);
}

void TestWebEditorHost::scheme_servesOnlyFilesBelowItsFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("served");
    QTest::newRow("page") << u"/index.html"_s << true;
    QTest::newRow("file outside") << u"/../secret.txt"_s << false;
    QTest::newRow("encoded climb") << u"/%2E%2E/secret.txt"_s << false;
    QTest::newRow("link leading outside") << u"/link.txt"_s << false;
    QTest::newRow("missing") << u"/none.html"_s << false;
}

void TestWebEditorHost::scheme_servesOnlyFilesBelowItsFolder()
{
    QFETCH(QString, path);
    QFETCH(bool, served);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"lib"_s));
    for (const QString &name : {u"lib/index.html"_s, u"secret.txt"_s}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<p>x</p>");
    }
    QVERIFY(QFile::link(dir.filePath(u"secret.txt"_s), dir.filePath(u"lib/link.txt"_s)));

    installEditorScheme(m_page->profile(), dir.filePath(u"lib"_s));
    auto *page = new EditorPage(m_page->profile(), m_view);
    QSignalSpy finished(page, &QWebEnginePage::loadFinished);
    QUrl url = editorPageUrl();
    url.setPath(path, QUrl::TolerantMode);
    page->open(url);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), served);
    delete page;
    installEditorScheme(m_page->profile(), QString::fromUtf8(ZORVANE_APP_DIR "/lib"));
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    TestWebEditorHost test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_editor_host.moc"
