#include "cli_runner.h"
#include "result_pages.h"
#include "seo_fakes.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;
using namespace SeoFakes;

namespace {

// Both hit blocks: the exact search reads the first, the fuzzy one the second.
QString resultPage()
{
    using namespace ResultPages;
    return u"<HTML><BODY>相关新闻约1,230篇\r\n<P class=\"res\">"_s
           + exactHit(u"\"http://a.example/1.html\""_s, u"Big news"_s, u"Daily"_s, u"2010-01-02"_s)
           + exactHit(u"http://a.example/2.html"_s, u"Small news"_s, QString(), u"2010-01-03"_s)
           + u"</P>\r\n<TABLE><TR>"
           + fuzzyCell(u"http://b.example/1"_s, u"Long\r\nnews"_s, u"Weekly"_s, u"2010-01-04"_s)
           + u"</TR></TABLE></BODY></HTML>";
}

} // namespace

// zorvane-cli's title and seo commands against fake servers on 127.0.0.1.
class TestCliSeo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void title_printsCountAndHits_data();
    void title_printsCountAndHits();
    void title_networkFailure_exitsWithFailure();
    void seo_printsElevenFigures_data();
    void seo_printsElevenFigures();
};

void TestCliSeo::title_printsCountAndHits_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("out");

    QTest::newRow("exact, words joined by +")
        << QStringList{u"title"_s, u"Big"_s, u"news"_s} << u"/ns?tn=newstitle&from=news&rn=50&word=Big+news"_s
        << u"count=约1,230\nBig news（Daily）\t2010-01-02\thttp://a.example/1.html\n"
           "Small news\t2010-01-03\thttp://a.example/2.html\n"_s;
    QTest::newRow("fuzzy, a line break in the title")
        << QStringList{u"title"_s, u"--fuzzy"_s, u"Big news"_s} << u"/ns?tn=news&from=news&rn=50&word=Big+news"_s
        << u"count=约1,230\nLong  news（Weekly）\t2010-01-04\thttp://b.example/1\n"_s;
}

void TestCliSeo::title_printsCountAndHits()
{
    QFETCH(QStringList, args);
    QFETCH(QString, path);
    QFETCH(QString, out);

    TempAppFolder app;
    QVERIFY(app.isValid());
    FakeHttpServer news;
    QVERIFY(news.serve(Cfg::Servers::News));
    news.on(path).respond(200, toGbk(resultPage()));

    const CliRun run = runCliServing(app.folder().root(), args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), out);
    QCOMPARE(news.requests().size(), 1);
}

void TestCliSeo::title_networkFailure_exitsWithFailure()
{
    TempAppFolder app;
    QVERIFY(app.isValid());
    QVERIFY(setConfigText(Cfg::Servers::News, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    const CliRun run = runCliServing(app.folder().root(), {u"title"_s, u"news"_s});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QString::fromUtf8(run.err).trimmed(), u"网络故障"_s);
}

void TestCliSeo::seo_printsElevenFigures_data()
{
    QTest::addColumn<bool>("baiduRefuses");

    QTest::newRow("every source answers") << false;
    QTest::newRow("one source refuses") << true;
}

void TestCliSeo::seo_printsElevenFigures()
{
    QFETCH(bool, baiduRefuses);

    TempAppFolder app;
    QVERIFY(app.isValid());
    SeoServers servers;
    QVERIFY(servers.serveAll());
    const QString site = u"www.example.net"_s;
    servers.answer(site, Figures());
    QMap<SeoFigure, QString> expected = Figures().byFigure();
    if (baiduRefuses) {
        QVERIFY(setConfigText(Cfg::Servers::Baidu, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
        expected[SeoFigure::Baidu] = SeoText::failed();
    }

    const CliRun run = runCliServing(app.folder().root(), {u"seo"_s, site});
    QCOMPARE(QString::fromUtf8(run.out), lines(expected).join(u'\n') + u'\n');
    QCOMPARE(run.exitCode, baiduRefuses ? 1 : 0);
    QCOMPARE(QString::fromUtf8(run.err), baiduRefuses ? SeoText::networkFailure() + u'\n' : QString());
}

QTEST_GUILESS_MAIN(TestCliSeo)
#include "tst_cli_seo.moc"
