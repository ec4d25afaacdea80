#include "command_fixture.h"
#include "result_pages.h"
#include "seo_fakes.h"
#include "settings/config_keys.h"
#include "shell/seo_commands.h"
#include "testsupport/object_names.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

using namespace Qt::StringLiterals;
using namespace zorvane;
using namespace std::chrono_literals;
using namespace SeoFakes;

namespace {

const QString Site = u"example.com"_s;

// The statistics panel on a bare window over an in-memory editor.
struct Panel : CommandWindow
{
    SeoCommands *seo = new SeoCommands(context);

    // "lblBaidu=…" for every figure as the labels show it.
    QStringList figures() const
    {
        QStringList shown;
        for (const SeoFigure figure : allSeoFigures())
            shown.append(seoFigureLabel(figure) + u'=' + seo->figureLabel(figure)->text());
        return shown;
    }
    bool querying() const { return figures().join(u'\n').contains(SeoText::querying()); }
    // The grid as "caption|time" rows.
    QStringList grid() const
    {
        QStringList rows;
        for (int row = 0; row < seo->MG->rowCount(); ++row)
            rows.append(seo->MG->item(row, 0)->text() + u'|' + seo->MG->item(row, 1)->text());
        return rows;
    }
    void searchTitle(const QString &title)
    {
        seo->txtTitle->setText(title);
        seo->cmdChkTitle->click();
    }
    // Shows the window with the grid holding one hit per link.
    bool showHits(FakeHttpServer &news, const QStringList &links)
    {
        QStringList hits;
        for (const QString &link : links)
            hits.append(ResultPages::exactHit(link, u"标题"_s, QString(), u"1"_s));
        news.otherwise().respond(200, toGbk(ResultPages::exactPage(QString::number(links.size()), hits)));
        window.show();
        searchTitle(u"标题"_s);
        return QTest::qWaitForWindowExposed(&window)
               && QTest::qWaitFor([this] { return seo->lblTitleStatus->text() == u"查询完毕"_s; });
    }
};

// Takes the addresses the desktop is asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    const QStringList schemes{u"http"_s, u"https"_s, u"javascript"_s, u"file"_s};
    QList<QUrl> opened;
    UrlCatcher()
    {
        for (const QString &scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestSeoCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void panel_controlsNamedWithTheirFirstTexts();
    void firstEntry_queriesTheMakersSiteOnce();
    void siteQuery_oneFailureBoxPerQuery();
    void titleQuery_fillsCountAndGrid_data();
    void titleQuery_fillsCountAndGrid();
    void grid_opensOnlyWebLinks_keptByAFailedQuery();
    void grid_wheelScrollsOneRowPerNotch_data();
    void grid_wheelScrollsOneRowPerNotch();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<SeoServers> m_servers;
    std::unique_ptr<FakeHttpServer> m_news;
};

void TestSeoCommands::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_servers = std::make_unique<SeoServers>();
    QVERIFY(m_servers->serveAll());
    m_servers->answer(Site, Figures{});
    m_news = std::make_unique<FakeHttpServer>();
    QVERIFY(m_news->serve(Cfg::Servers::News));
    QVERIFY(setConfigText(Cfg::Servers::Site, Site));
}

void TestSeoCommands::cleanup()
{
    m_news.reset();
    m_servers.reset();
    m_folder.reset();
}

void TestSeoCommands::panel_controlsNamedWithTheirFirstTexts()
{
    Panel p;
    const QList<std::pair<QString, QString>> captions = {
        {u"frmTitleSearch"_s, u"单篇文章搜索引擎收录数"_s},
        {u"Label22"_s, u"输入文章标题："_s},
        {u"opn1"_s, u"精确"_s},
        {u"opn2"_s, u"模糊"_s},
        {u"cmdChkTitle"_s, u"查询"_s},
        {u"lblTitleStatus"_s, QString()},
        {u"Label23"_s, u"该文章共被转载"_s},
        {u"lblTitleNums"_s, u"0"_s},
        {u"Label24"_s, u"次（最多显示前50条）"_s},
        {u"txtTitle"_s, QString()},
        {u"frmSiteSeo"_s, u"网站SEO数据"_s},
        {u"txtUrl"_s, QString()},
        {u"cmdChkSeo"_s, u"查询"_s},
    };
    for (const auto &[name, caption] : captions) {
        QWidget *control = p.frm3->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->property(qobject_cast<QGroupBox *>(control) ? "title" : "text").toString(), caption);
    }
    QVERIFY(p.seo->opn1->isChecked());
    for (const SeoFigure figure : allSeoFigures()) {
        auto *label = p.frm3->findChild<QLabel *>(seoFigureLabel(figure));
        QVERIFY2(label && label == p.seo->figureLabel(figure), qPrintable(seoFigureLabel(figure)));
        QCOMPARE(label->text(), u"No Data"_s);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(p.seo->lblTitleNums->textFormat(), Qt::PlainText);
    QCOMPARE(p.seo->lblBaidu->toolTip(), u"百度"_s);
    QCOMPARE(p.seo->MG->columnCount(), 2);
    QCOMPARE(p.seo->MG->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(duplicatedObjectNames(&p.window), QStringList());

    // Without a title or a site nothing is asked.
    p.seo->cmdChkTitle->click();
    p.seo->cmdChkSeo->click();
    QCOMPARE(p.seo->lblTitleStatus->text(), QString());
    QCOMPARE(p.seo->lblBaidu->text(), u"No Data"_s);
    QVERIFY(m_news->requests().isEmpty());
}

void TestSeoCommands::firstEntry_queriesTheMakersSiteOnce()
{
    Panel p;
    const QStringList answered = lines(Figures{}.byFigure());
    Q_EMIT p.context.modeChanged(ModeName::Format);
    QVERIFY(!p.seo->statisticsStarted());
    QCOMPARE(p.seo->txtUrl->text(), QString());

    Q_EMIT p.context.modeChanged(ModeName::Seo);
    QCOMPARE(p.seo->txtUrl->text(), Site);
    QCOMPARE(p.seo->lblBaidu->text(), u"查询中"_s);
    QTRY_COMPARE_WITH_TIMEOUT(p.figures(), answered, 15000);
    for (FakeHttpServer *server : m_servers->all())
        QVERIFY(!server->requests().isEmpty());
    QCOMPARE(m_servers->baidu.requestsFor(u"/s?wd=site%3A"_s + Site).size(), 1);

    // Coming back to the panel starts nothing by itself, even with another
    // site typed in.
    p.seo->txtUrl->setText(u"other.example"_s);
    Q_EMIT p.context.modeChanged(ModeName::Yc);
    Q_EMIT p.context.modeChanged(ModeName::Seo);
    QCOMPARE(p.figures(), answered);
    QCOMPARE(m_servers->baidu.requests().size(), 1);
    QCOMPARE(p.view.messages, QStringList());
}

void TestSeoCommands::siteQuery_oneFailureBoxPerQuery()
{
    // Four figures fail: the relay serves two, Google goes another way.
    const QString closed = u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort());
    for (const ConfigKey &key : {Cfg::Servers::Baidu, Cfg::Servers::Relay, Cfg::Servers::Google})
        QVERIFY(setConfigText(key, closed));
    QStringList expected = lines(Figures{}.byFigure());
    for (const int failed : {0, 1, 2, 6})
        expected[failed] = expected[failed].section(u'=', 0, 0) + u"=查询失败"_s;

    Panel p;
    p.seo->txtUrl->setText(Site);
    for (int query = 1; query <= 2; ++query) {
        p.seo->cmdChkSeo->click();
        QVERIFY(p.querying());
        QTRY_VERIFY_WITH_TIMEOUT(!p.querying(), 15000);
        QCoreApplication::processEvents(); // the box is shown once the failing source has wound down
        QCOMPARE(p.figures(), expected);
        QCOMPARE(p.view.messages, QStringList(query, u"网络故障，无法查询。"_s));
    }
}

void TestSeoCommands::titleQuery_fillsCountAndGrid_data()
{
    using namespace ResultPages;
    QTest::addColumn<bool>("fuzzyAtStart");
    QTest::addColumn<bool>("fuzzyAtEnd");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("grid");

    QTest::newRow("exact: hits with and without a source")
        << false << false
        << exactPage(u"约1,230"_s, {exactHit(u"http://a/1"_s, u"<b>两会</b>召开"_s, u"新华网"_s, u"2010-3-3"_s),
                                    exactHit(u"\"http://a/2\""_s, u"两会闭幕"_s, QString(), u"2010-3-14"_s)})
        << u"约1,230"_s << QStringList{u"两会召开（新华网）|2010-3-3"_s, u"两会闭幕|2010-3-14"_s};
    const QString both = u"<HTML>相关新闻7篇<P class=\"res\">"_s
                         + exactHit(u"http://a/exact"_s, u"Exact"_s, QString(), u"1"_s) + u"</P><TABLE><TR>"_s
                         + fuzzyCell(u"http://a/fuzzy"_s, u"Fuzzy"_s, u"src"_s, u"2"_s) + u"</TR></TABLE></HTML>"_s;
    QTest::newRow("switched to fuzzy while the query runs")
        << false << true << both << u"7"_s << QStringList{u"Fuzzy（src）|2"_s};
    QTest::newRow("no count: nothing found")
        << false << false << u"<HTML><BODY>没有找到</BODY></HTML>"_s << u"0"_s << QStringList();
}

void TestSeoCommands::titleQuery_fillsCountAndGrid()
{
    QFETCH(bool, fuzzyAtStart);
    QFETCH(bool, fuzzyAtEnd);
    QFETCH(QString, page);
    QFETCH(QString, count);
    QFETCH(QStringList, grid);

    m_news->otherwise().chunks({"HTTP/1.1 200 OK\r\n\r\n", toGbk(page)}).delay(100ms);
    Panel p;
    // What an earlier query left goes.
    p.seo->MG->setRowCount(3);
    (fuzzyAtStart ? p.seo->opn2 : p.seo->opn1)->setChecked(true);
    p.searchTitle(u"two words"_s);
    QCOMPARE(p.seo->txtTitle->text(), u"two+words"_s);
    QCOMPARE(p.seo->lblTitleStatus->text(), u"正在查询..."_s);
    QVERIFY(m_news->waitForRequests(1));
    QVERIFY(m_news->requests().first().path.endsWith(u"&word=two+words"_s));
    (fuzzyAtEnd ? p.seo->opn2 : p.seo->opn1)->setChecked(true);

    QTRY_COMPARE(p.seo->lblTitleStatus->text(), u"查询完毕"_s);
    QCOMPARE(p.seo->lblTitleNums->text(), count);
    QCOMPARE(p.grid(), grid);
}

void TestSeoCommands::grid_opensOnlyWebLinks_keptByAFailedQuery()
{
    Panel p;
    QVERIFY(p.showHits(*m_news, {u"http://a.example/1"_s, u"javascript:alert(1)"_s, u"\"https://a.example/2\""_s,
                                 u"file:///etc/passwd"_s}));
    const QStringList found = p.grid();
    QCOMPARE(found.size(), 4);

    QVERIFY(setConfigText(Cfg::Servers::News, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    p.searchTitle(u"另一个标题"_s);
    QTRY_COMPARE(p.seo->lblTitleStatus->text(), u"网络故障"_s);
    QCOMPARE(p.seo->lblTitleNums->text(), u"4"_s);
    QCOMPARE(p.grid(), found);

    UrlCatcher catcher;
    for (int row = 0; row < 4; ++row) {
        const QPoint cell = p.seo->MG->visualItemRect(p.seo->MG->item(row, row % 2)).center();
        // A double click as the system delivers it: a click, then the second press.
        QTest::mouseClick(p.seo->MG->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(p.seo->MG->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseRelease(p.seo->MG->viewport(), Qt::LeftButton, {}, cell);
    }
    QCOMPARE(catcher.opened, (QList<QUrl>{QUrl(u"http://a.example/1"_s), QUrl(u"https://a.example/2"_s)}));
}

void TestSeoCommands::grid_wheelScrollsOneRowPerNotch_data()
{
    QTest::addColumn<QList<int>>("notches"); // angle deltas, as the wheel sends them
    QTest::addColumn<int>("topRow");

    QTest::newRow("one notch down") << QList<int>{-120} << 1;
    QTest::newRow("two down, one up") << QList<int>{-120, -120, 120} << 1;
    QTest::newRow("up at the top") << QList<int>{120} << 0;
    QTest::newRow("half notches add up") << QList<int>{-60, -60, -60} << 1;
    QTest::newRow("past the last row") << QList<int>(40, -120) << -1;
}

void TestSeoCommands::grid_wheelScrollsOneRowPerNotch()
{
    QFETCH(QList<int>, notches);
    QFETCH(int, topRow);

    Panel p;
    p.seo->MG->setFixedHeight(p.seo->MG->verticalHeader()->defaultSectionSize() * 6);
    QStringList links;
    for (int i = 0; i < 30; ++i)
        links.append(u"http://news.example/"_s + QString::number(i));
    QVERIFY(p.showHits(*m_news, links));
    QScrollBar *bar = p.seo->MG->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 10); // the range follows the rows once laid out
    if (topRow < 0)
        topRow = bar->maximum();

    QWidget *viewport = p.seo->MG->viewport();
    const QPointF at = viewport->rect().center();
    for (const int delta : notches) {
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }
    QCOMPARE(bar->value(), topRow);
}

QTEST_MAIN(TestSeoCommands)
#include "tst_seo_commands.moc"
