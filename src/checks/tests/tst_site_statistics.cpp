#include "checks/site_statistics.h"
#include "seo_fakes.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <QMap>
#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

using namespace SeoFakes;

Q_DECLARE_METATYPE(SeoSource)

namespace {

// What one query reported.
struct Run
{
    QMap<SeoFigure, QString> figures;
    QStringList history; // "lblBaidu=…" in the order of the signals
    int failures = 0;
    int finished = 0;

    explicit Run(SiteStatistics &statistics)
    {
        QObject::connect(&statistics, &SiteStatistics::figureChanged, [this](SeoFigure figure, const QString &text) {
            figures[figure] = text;
            history.append(seoFigureLabel(figure) + u'=' + text);
        });
        QObject::connect(&statistics, &SiteStatistics::networkFailure, [this](const QString &message) {
            QCOMPARE(message, SeoText::networkFailure());
            ++failures;
        });
        QObject::connect(&statistics, &SiteStatistics::finished, [this] { ++finished; });
    }
    bool wait() const
    {
        return QTest::qWaitFor([this] { return finished > 0; }, 15000);
    }
};

QString closedAddress()
{
    return u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort());
}

} // namespace

class TestSiteStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void parsers_withAndWithoutMarkers_data();
    void parsers_withAndWithoutMarkers();
    void allSources_inFlightTogether();
    void failingSources_endAsFailed_othersComplete_data();
    void failingSources_endAsFailed_othersComplete();
    void pageRankFrame_data();
    void pageRankFrame();
    void secondQuery_dropsTheFirst();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<SeoServers> m_servers;
};

void TestSiteStatistics::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_servers = std::make_unique<SeoServers>();
    QVERIFY(m_servers->serveAll());
}

void TestSiteStatistics::cleanup()
{
    m_servers.reset();
    m_folder.reset();
}

void TestSiteStatistics::parsers_withAndWithoutMarkers_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QStringList>("expected");

    const QByteArray plain = "<html><body>nothing here</body></html>";
    QTest::newRow("alexa") << u"alexa"_s << alexaPage(u"1,234"_s, u"56"_s) << QStringList{u"1,234"_s, u"56"_s};
    QTest::newRow("alexa: pictures instead of figures")
        << u"alexa"_s << alexaPage(u"<img src=x>"_s, u"<img src=y>"_s) << QStringList{u"No Data"_s, u"No Data"_s};
    QTest::newRow("alexa: no markers") << u"alexa"_s << plain << QStringList{u"0"_s, u"0"_s};
    QTest::newRow("pagerank page") << u"pagerank"_s << pageRankPage(u"http://f.example/pr"_s)
                                   << QStringList{u"http://f.example/pr"_s};
    QTest::newRow("pagerank page: no frame section") << u"pagerank"_s << plain << QStringList{u"查询失败"_s};
    QTest::newRow("baidu") << u"baidu"_s << baiduPage(u"1,230"_s) << QStringList{u"1,230"_s};
    QTest::newRow("baidu: no markers") << u"baidu"_s << plain << QStringList{u"0"_s};
    QTest::newRow("bing: blanks removed") << u"bing"_s << bingPage(u"2 345"_s) << QStringList{u"2345"_s};
    QTest::newRow("bing: no markers") << u"bing"_s << plain << QStringList{u"0"_s};
    QTest::newRow("soso") << u"soso"_s << sosoPage(u"5,000"_s) << QStringList{u"5,000"_s};
    QTest::newRow("soso: no markers") << u"soso"_s << plain << QStringList{u"0"_s};
    QTest::newRow("sogou") << u"sogou"_s << sogouPage(u"12,345"_s) << QStringList{u"12,345"_s};
    QTest::newRow("sogou: no markers") << u"sogou"_s << plain << QStringList{u"0"_s};
    QTest::newRow("link statistics") << u"links"_s << linkStatsPage(u"42"_s) << QStringList{u"42"_s};
    QTest::newRow("link statistics: no markers") << u"links"_s << plain << QStringList{u"0"_s};
    QTest::newRow("google, traditional Chinese") << u"google"_s << googlePage(u"4, 560"_s) << QStringList{u"4,560"_s};
    QTest::newRow("google, simplified Chinese")
        << u"google"_s << u"<html>约 <b>x</b> 获得约 <b>7 890</b> 条结果</html>"_s.toUtf8() << QStringList{u"7890"_s};
    QTest::newRow("google: the simplified count wins")
        << u"google"_s << u"約有 1 項結果 </b> 获得约 <b>2</b> 条结果"_s.toUtf8() << QStringList{u"2"_s};
    QTest::newRow("google: no markers") << u"google"_s << plain << QStringList{u"0"_s};
    QTest::newRow("relay") << u"relay"_s << QByteArray("1,230\r\n") << QStringList{u"1,230"_s};
    QTest::newRow("relay: 万 sent as UTF-8") << u"relay"_s << u"12万"_s.toUtf8() << QStringList{u"12万"_s};
    QTest::newRow("relay: 亿 sent as UTF-8, then a line break")
        << u"relay"_s << u"3亿\r\n"_s.toUtf8() << QStringList{u"3亿"_s};
    QTest::newRow("relay: empty answer") << u"relay"_s << QByteArray() << QStringList{u"0"_s};
}

void TestSiteStatistics::parsers_withAndWithoutMarkers()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, received);
    QFETCH(QStringList, expected);

    // Each source reads its page as it arrives: GBK text or UTF-8 bytes.
    const QString text = fromGbk(received);
    const QString utf8 = decodeUtf8(received);
    QStringList parsed;
    if (source == u"alexa") {
        const AlexaFigures figures = parseAlexa(text);
        parsed = {figures.rank, figures.linksIn};
    } else if (source == u"pagerank") {
        parsed = {parsePageRankPage(utf8).value_or(SeoText::failed())};
    } else if (source == u"baidu") {
        parsed = {parseBaidu(text)};
    } else if (source == u"bing") {
        parsed = {parseBing(utf8)};
    } else if (source == u"soso") {
        parsed = {parseSoso(text)};
    } else if (source == u"sogou") {
        parsed = {parseSogou(text)};
    } else if (source == u"links") {
        parsed = {parseLinkStats(utf8)};
    } else if (source == u"google") {
        parsed = {parseGoogle(utf8)};
    } else if (source == u"relay") {
        parsed = {parseRelayBody(received)};
    }
    QCOMPARE(parsed, expected);
}

void TestSiteStatistics::allSources_inFlightTogether()
{
    // A site typed with a blank is asked for with "+".
    const QString site = u"www.zorvane+example.net"_s;
    const Figures expected;
    m_servers->answer(site, expected, 300ms);

    QStringList events;
    for (FakeHttpServer *server : m_servers->all())
        connect(server, &FakeHttpServer::requestReceived, this, [&events] { events.append(u"request"_s); });
    SiteStatistics statistics;
    connect(&statistics, &SiteStatistics::figureChanged, this, [&events](SeoFigure, const QString &text) {
        if (text != SeoText::querying())
            events.append(u"figure"_s);
    });
    Run run(statistics);
    QVERIFY(statistics.start(u"www.zorvane example.net"_s));
    QVERIFY(run.wait());

    // All ten look-ups were asked for before any answer came back.
    QCOMPARE(events.indexOf(u"figure"_s), 10);
    QCOMPARE(lines(run.figures), lines(expected.byFigure()));
    QMap<SeoFigure, QString> querying;
    for (const SeoFigure figure : allSeoFigures())
        querying[figure] = SeoText::querying();
    QCOMPARE(run.history.mid(0, seoFigureCount), lines(querying));
    QCOMPARE(run.failures, 0);
    QCOMPARE(run.finished, 1);
    QVERIFY(!statistics.isRunning());

    // What went out: Google with its own two header lines, the posts with
    // their bodies and the link-statistics form's own address as referrer.
    const FakeRequest googleRequest = m_servers->google.requests().value(0);
    QCOMPARE(googleRequest.header("User-Agent"), QByteArray("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"));
    QCOMPARE(googleRequest.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(m_servers->relay.requestsFor(u"/yahoo_soulu.php"_s).value(0).body, ("url=" + site).toLatin1());
    QCOMPARE(m_servers->relay.requestsFor(u"/youdao_soulu.php"_s).value(0).body, ("url=" + site).toLatin1());
    const FakeRequest links = m_servers->linkStats.requests().value(0);
    QCOMPARE(links.method, QByteArray("POST"));
    QCOMPARE(links.header("Referer"), ("http://" + m_servers->linkStats.address() + "/Default.aspx").toLatin1());
    QVERIFY(links.body.startsWith("__VIEWSTATE="));
    QVERIFY(links.body.contains(QByteArray("&linkcount=192&txtSiteUrl=" + site.toLatin1() + "%2F&btnQuiry=")));
}

void TestSiteStatistics::failingSources_endAsFailed_othersComplete_data()
{
    QTest::addColumn<QList<SeoSource>>("failing");
    QTest::addColumn<QString>("how");

    QTest::newRow("baidu refuses the connection") << QList<SeoSource>{SeoSource::Baidu} << u"refuse"_s;
    QTest::newRow("google refuses the connection") << QList<SeoSource>{SeoSource::Google} << u"refuse"_s;
    QTest::newRow("bing stalls") << QList<SeoSource>{SeoSource::Bing} << u"stall"_s;
    QTest::newRow("google stalls") << QList<SeoSource>{SeoSource::Google} << u"stall"_s;
    QTest::newRow("sogou hangs up before its marker") << QList<SeoSource>{SeoSource::Sogou} << u"close"_s;
    QTest::newRow("yahoo relay hangs up after its headers") << QList<SeoSource>{SeoSource::Yahoo} << u"close"_s;
    // An error page is no count, not even "0".
    QTest::newRow("bing answers with an error page") << QList<SeoSource>{SeoSource::Bing} << u"error page"_s;
    QTest::newRow("google answers with an error page") << QList<SeoSource>{SeoSource::Google} << u"error page"_s;
    QTest::newRow("yahoo relay answers with an error page") << QList<SeoSource>{SeoSource::Yahoo} << u"error page"_s;
    QTest::newRow("sogou sends a captive portal's redirect") << QList<SeoSource>{SeoSource::Sogou} << u"portal"_s;
    QTest::newRow("three sources refuse: one message")
        << QList<SeoSource>{SeoSource::Alexa, SeoSource::Soso, SeoSource::Google} << u"refuse"_s;
}

void TestSiteStatistics::failingSources_endAsFailed_othersComplete()
{
    QFETCH(QList<SeoSource>, failing);
    QFETCH(QString, how);

    const QString site = u"example.net"_s;
    m_servers->answer(site, Figures());
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 1));
    const QMap<SeoSource, ConfigKey> keys = {{SeoSource::Alexa, Cfg::Servers::Alexa},
                                             {SeoSource::Baidu, Cfg::Servers::Baidu},
                                             {SeoSource::Google, Cfg::Servers::Google},
                                             {SeoSource::Soso, Cfg::Servers::Soso}};
    const QMap<SeoSource, std::pair<FakeHttpServer *, QString>> routes = {
        {SeoSource::Bing, {&m_servers->bing, u"/search?q=site%3A"_s + site}},
        {SeoSource::Google, {&m_servers->google, u"/search?q=site%3A"_s + site}},
        {SeoSource::Sogou, {&m_servers->sogou, u"/web?query=site%3A"_s + site}},
        {SeoSource::Yahoo, {&m_servers->relay, u"/yahoo_soulu.php"_s}}};
    for (const SeoSource source : failing) {
        if (how == u"refuse") {
            QVERIFY(setConfigText(keys.value(source), closedAddress()));
            continue;
        }
        const auto [server, path] = routes.value(source);
        if (how == u"error page") {
            server->on(path).respond(503, "<html>Service Unavailable</html>");
            continue;
        }
        if (how == u"portal") {
            server->on(path).reply("HTTP/1.1 302 Found\r\nLocation: http://10.255.255.1/login\r\n\r\n<html><form "
                                   "id=\"fankuiform\" method=\"post\"></form></html>");
            continue;
        }
        FakeRoute &route =
            server->on(path).reply("HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\n<html><span class=\"resultstats\"");
        if (how == u"close")
            route.closeEarly();
    }

    SiteStatistics statistics;
    Run run(statistics);
    QVERIFY(statistics.start(site));
    QVERIFY(run.wait());

    QMap<SeoFigure, QString> expected = Figures().byFigure();
    for (const SeoSource source : failing) {
        const QMap<SeoSource, QList<SeoFigure>> figuresOf = {
            {SeoSource::Alexa, {SeoFigure::Alexa, SeoFigure::Fanxiang}},
            {SeoSource::Baidu, {SeoFigure::Baidu}},
            {SeoSource::Google, {SeoFigure::Google}},
            {SeoSource::Bing, {SeoFigure::Bing}},
            {SeoSource::Soso, {SeoFigure::Soso}},
            {SeoSource::Sogou, {SeoFigure::Sougou}},
            {SeoSource::Yahoo, {SeoFigure::Yohoo}}};
        for (const SeoFigure figure : figuresOf.value(source))
            expected[figure] = SeoText::failed();
    }
    QCOMPARE(lines(run.figures), lines(expected));
    QCOMPARE(run.failures, 1);
    QCOMPARE(run.finished, 1);
}

void TestSiteStatistics::pageRankFrame_data()
{
    QTest::addColumn<QString>("frameAddress"); // "SERVER" stands for the frame server's address
    QTest::addColumn<int>("frameStatus");      // 0: the frame server refuses connections
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("pr");

    QTest::newRow("absolute address") << u"http://SERVER/pr?s=1"_s << 200 << QByteArray("Rank:5") << u"5"_s;
    QTest::newRow("address relative to the service") << u"/frame/example.net"_s << 200 << QByteArray() << u"6"_s;
    QTest::newRow("frame server refuses") << u"http://SERVER/pr?s=1"_s << 0 << QByteArray() << u"查询失败"_s;
    QTest::newRow("frame text too long") << u"http://SERVER/pr?s=1"_s << 200 << QByteArray("<html>Rank:5</html>\r\n")
                                         << u"查询失败"_s;
    QTest::newRow("local file") << u"file:///etc/hostname"_s << 200 << QByteArray() << u"查询失败"_s;
    // The page may name the frame only on the PageRank service's own host.
    QTest::newRow("the same server by another name")
        << u"http://localhost:PORT/pr?s=1"_s << 200 << QByteArray("Rank:5") << u"查询失败"_s;
    QTest::newRow("another machine of the network")
        << u"http://192.168.1.1/admin"_s << 200 << QByteArray("Rank:5") << u"查询失败"_s;
    QTest::newRow("no address") << QString() << 200 << QByteArray() << u"查询失败"_s;
}

void TestSiteStatistics::pageRankFrame()
{
    QFETCH(QString, frameAddress);
    QFETCH(int, frameStatus);
    QFETCH(QByteArray, frame);
    QFETCH(QString, pr);

    const QString site = u"example.net"_s;
    m_servers->answer(site, Figures());
    FakeHttpServer frameServer;
    frameServer.on(u"/pr?s=1"_s).respond(frameStatus, frame);
    const QString server = frameStatus == 0 ? closedAddress() : u"127.0.0.1:"_s + QString::number(frameServer.port());
    m_servers->pageRank.on(u"/?PRAddress="_s + site)
        .respond(200, pageRankPage(QString(frameAddress)
                                       .replace(u"SERVER"_s, server)
                                       .replace(u"PORT"_s, QString::number(frameServer.port()))));

    SiteStatistics statistics;
    Run run(statistics);
    QVERIFY(statistics.start(site));
    QVERIFY(run.wait());
    QCOMPARE(run.figures.value(SeoFigure::Pr), pr);
    // The frame is a second step of a source that did answer.
    QCOMPARE(run.failures, 0);
    QCOMPARE(run.figures.value(SeoFigure::Baidu), Figures().baidu);
}

void TestSiteStatistics::secondQuery_dropsTheFirst()
{
    Figures first;
    for (QString *figure : {&first.alexa, &first.linksIn, &first.pr, &first.baidu, &first.google, &first.yahoo,
                            &first.bing, &first.soso, &first.youdao, &first.sogou, &first.friendLinks})
        *figure = u"111"_s;
    // The first query's answers are due well before the second's: had any of
    // them got through, it would show before the second query ends.
    m_servers->answer(u"first.example"_s, first, 50ms);
    const Figures second;
    m_servers->answer(u"second.example"_s, second, 300ms);

    SiteStatistics statistics;
    QVERIFY(!statistics.start(QString()));
    QVERIFY(statistics.start(u"first.example"_s));
    QVERIFY(m_servers->baidu.waitForRequests(1));
    Run run(statistics);
    QVERIFY(statistics.start(u"second.example"_s));
    QVERIFY(run.wait());

    QCOMPARE(lines(run.figures), lines(second.byFigure()));
    QVERIFY2(!run.history.join(u',').contains(u"111"_s), qPrintable(run.history.join(u',')));
    QCOMPARE(run.failures, 0);
    QCOMPARE(run.finished, 1);
}

QTEST_GUILESS_MAIN(TestSiteStatistics)
#include "tst_site_statistics.moc"
