#include "checks/title_search.h"
#include "literal_tags.h"
#include "result_pages.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "text/system_regex.h"
#include "text/text_utils.h"

#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TitleSearchMode)

using ResultPages::exactHit;
using ResultPages::exactPage;
using ResultPages::fuzzyCell;
using ResultPages::fuzzyPage;

namespace {

// What one query ended with.
struct Outcome
{
    int endings = 0;
    std::optional<TitlePage> page;
    QString message;

    explicit Outcome(TitleSearch &search)
    {
        QObject::connect(&search, &TitleSearch::finished, [this](const TitlePage &received) {
            ++endings;
            page = received;
        });
        QObject::connect(&search, &TitleSearch::failed, [this](const QString &text) {
            ++endings;
            message = text;
        });
    }
    bool wait() const
    {
        return QTest::qWaitFor([this] { return endings > 0; }, 10000);
    }
};

// A hit as "caption|time|link", to compare whole result lists in one go.
QStringList rows(const QList<TitleHit> &hits)
{
    QStringList result;
    for (const TitleHit &hit : hits)
        result.append(hit.caption() + u'|' + hit.time + u'|' + hit.link);
    return result;
}

} // namespace

class TestTitleSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lowercaser_agreesWithWholeBufferPass_data();
    void lowercaser_agreesWithWholeBufferPass();
    void lowercaser_hostilePages_stayLinear_data();
    void lowercaser_hostilePages_stayLinear();
    void lowercaser_tagTextInsideAnEarlierTag_data();
    void lowercaser_tagTextInsideAnEarlierTag();
    void parse_countAndHits_data();
    void parse_countAndHits();
    void openableHitUrl_onlyWebAddresses_data();
    void openableHitUrl_onlyWebAddresses();
    void query_pageInPieces_isLowerCasedAndParsed();
    void query_requestLine_data();
    void query_requestLine();
    void query_optionSwitchedWhileRunning_cutsByTheNewOption();
    void query_failures_endWithNetworkFailure_data();
    void query_failures_endWithNetworkFailure();
    void query_secondQuery_dropsTheFirst();
    void query_withoutTitleOrOption_startsNothing();

private:
    void compareOnPieces(const QStringList &pieces, const QString &what);

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestTitleSearch::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->serve(Cfg::Servers::News));
}

void TestTitleSearch::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

void TestTitleSearch::compareOnPieces(const QStringList &pieces, const QString &what)
{
    // The literal runs over everything received, so it is asked after about
    // a hundred of the pieces (and the last), not after each.
    const qsizetype step = qMax<qsizetype>(1, pieces.size() / 100);
    TagNameLowercaser incremental;
    QString received;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString before = incremental.text();
        const qsizetype changedFrom = incremental.append(pieces[i]);
        received += pieces[i];
        QVERIFY2(QStringView(before).left(changedFrom) == QStringView(incremental.text()).left(changedFrom),
                 qPrintable(what));
        if (i % step != 0 && i + 1 < pieces.size())
            continue;
        const QString literal = lowerTagsWhereTheyStand(received);
        if (incremental.text() != literal) {
            QFAIL(
                qPrintable(u"%1, piece %2: got\n%3\nexpected\n%4"_s.arg(what).arg(i).arg(incremental.text(), literal)));
        }
    }
}

void TestTitleSearch::lowercaser_agreesWithWholeBufferPass_data()
{
    QTest::addColumn<bool>("realistic");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("maxPiece");
    QTest::addColumn<int>("seeds");

    QTest::newRow("result pages in network-sized pieces") << true << 20000 << 1460 << 20;
    QTest::newRow("result pages in small pieces, tags split") << true << 6000 << 12 << 20;
    QTest::newRow("dense markup in one-character pieces") << false << 120 << 1 << 400;
    QTest::newRow("dense markup in short pieces") << false << 300 << 7 << 1500;
    QTest::newRow("dense markup in long pieces") << false << 600 << 90 << 600;
}

void TestTitleSearch::lowercaser_agreesWithWholeBufferPass()
{
    QFETCH(bool, realistic);
    QFETCH(int, size);
    QFETCH(int, maxPiece);
    QFETCH(int, seeds);
    for (quint32 seed = 1; seed <= quint32(seeds); ++seed) {
        const QString page = realistic ? ResultPages::realistic(seed, size) : ResultPages::noise(seed, size);
        const QStringList pieces = ResultPages::split(page, seed * 7919, maxPiece);
        compareOnPieces(pieces, u"seed %1"_s.arg(seed));
        if (QTest::currentTestFailed())
            return;
        // A result page holds no tag's text inside another tag: there the
        // buffer is what the first whole-buffer pass made of it.
        if (realistic)
            QCOMPARE(lowerTagsWhereTheyStand(page), lowercaseTagNames(page));
    }
}

void TestTitleSearch::lowercaser_tagTextInsideAnEarlierTag_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("expected");

    // Only the tags themselves are lowered: the same text inside another tag
    // (a script's string, an attribute) stays as it is, where the
    // whole-buffer pass replaced it everywhere at a cost in the square of the
    // page.
    QTest::newRow("script before the tag")
        << QStringList{u"<script>if(a<b && c)s=\"<BR>\";</script>\r\n"_s, u"x<BR>y"_s}
        << u"<script>if(a<b && c)s=\"<BR>\";</script>\r\nx<br>y"_s;
    QTest::newRow("tag before the script, same piece") << QStringList{u"<A> <X Y<A>"_s} << u"<a> <x Y<A>"_s;
    QTest::newRow("nothing changes one arrival later") << QStringList{u"<A> <X Y<A>"_s, u"z"_s} << u"<a> <x Y<A>z"_s;
    QTest::newRow("tag text reaching past a \"<>\"") << QStringList{u"<q<>A> "_s, u"<>A>"_s} << u"<q<>A> <>a>"_s;
    QTest::newRow("tag text reaching past a \"<>\" into the next piece")
        << QStringList{u"<q<>"_s, u"A> <>A>"_s} << u"<q<>A> <>a>"_s;
    QTest::newRow("end of page split after \"</HT\"")
        << QStringList{u"<P>x</P></HT"_s, u"ML>"_s} << u"<p>x</p></html>"_s;
}

void TestTitleSearch::lowercaser_tagTextInsideAnEarlierTag()
{
    QFETCH(QStringList, pieces);
    QFETCH(QString, expected);
    TagNameLowercaser buffer;
    for (const QString &piece : pieces)
        buffer.append(piece);
    QCOMPARE(buffer.text(), expected);
    compareOnPieces(pieces, QString::fromLatin1(QTest::currentDataTag()));
}

void TestTitleSearch::lowercaser_hostilePages_stayLinear_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expectedStart");
    // Each of these took time in the square of its length: a tag made of
    // nested "<", and tags whose text recurs inside other tags.
    QTest::newRow("one tag of 200,000 \"<\"") << QString(200000, u'<') + u"A>"_s << u"<<<<"_s;
    QString recurring;
    for (int i = 0; i < 20000; ++i)
        recurring += u"<A> <X Y<A>"_s;
    QTest::newRow("20,000 tags whose text recurs inside others") << recurring << u"<a> <x Y<A><a>"_s;
}

void TestTitleSearch::lowercaser_hostilePages_stayLinear()
{
    QFETCH(QString, page);
    QFETCH(QString, expectedStart);
    // Fed as the network would, in pieces of 1,460 characters; a quadratic
    // buffer would not end within the test's time-out.
    TagNameLowercaser buffer;
    for (qsizetype at = 0; at < page.size(); at += 1460)
        buffer.append(QStringView(page).mid(at, 1460));
    QVERIFY(buffer.text().startsWith(expectedStart));
    QCOMPARE(buffer.text().size(), page.size());
    QCOMPARE(buffer.text(), lowerTagsWhereTheyStand(page));
}

void TestTitleSearch::parse_countAndHits_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<TitleSearchMode>("mode");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("hits");

    const QString source = u"新华网"_s;
    QTest::newRow("no count on the page") << lowercaseTagNames(u"<HTML><BODY>nothing</BODY></HTML>"_s)
                                          << TitleSearchMode::Exact << u"0"_s << QStringList();
    QTest::newRow("count without the hit block")
        << lowercaseTagNames(fuzzyPage(u"约1,230"_s, {})) << TitleSearchMode::Exact << u"约1,230"_s << QStringList();
    QTest::newRow("exact: quoted address, target=_blank, markup in the title")
        << lowercaseTagNames(exactPage(
               u"2"_s, {exactHit(u"\"http://a.example/1.html\""_s, u"<B>Big</B> news"_s, source, u"2010-01-02"_s),
                        exactHit(u"http://a.example/2.html"_s, u"Other"_s, source, u"09:00"_s)}))
        << TitleSearchMode::Exact << u"2"_s
        << QStringList{u"Big news（新华网）|2010-01-02|http://a.example/1.html"_s,
                       u"Other（新华网）|09:00|http://a.example/2.html"_s};
    QTest::newRow("exact: a hit without a source has no brackets")
        << lowercaseTagNames(exactPage(u"1"_s, {exactHit(u"http://a.example/3.html"_s, u"Alone"_s, QString(), u"t"_s)}))
        << TitleSearchMode::Exact << u"1"_s << QStringList{u"Alone|t|http://a.example/3.html"_s};
    QTest::newRow("fuzzy: every text cell of the page")
        << lowercaseTagNames(fuzzyPage(u"12"_s, {fuzzyCell(u"\"http://b.example/1\""_s, u"First"_s, source, u"1"_s),
                                                 fuzzyCell(u"http://b.example/2"_s, u"Second"_s, source, u"2"_s)}))
        << TitleSearchMode::Fuzzy << u"12"_s
        << QStringList{u"First（新华网）|1|http://b.example/1"_s, u"Second（新华网）|2|http://b.example/2"_s};
    QTest::newRow("anchor without _blank: title from the seventh character")
        << u"相关新闻3篇<p class=\"res\"><span><a href=http://c/1>Titled</a></span></p>"_s << TitleSearchMode::Exact
        << u"3"_s << QStringList{u"/c/1>Titled||"_s};
    QTest::newRow("a hit holding the separator becomes two rows")
        << u"相关新闻1篇<td class=\"text\"><a href=x y>A|||B</a></td>"_s << TitleSearchMode::Fuzzy << u"1"_s
        << QStringList{u"||"_s, u"||"_s};
    QStringList cells, spans, shown;
    for (int i = 0; i < 60; ++i) {
        cells << fuzzyCell(u"http://d/%1"_s.arg(i), u"T%1"_s.arg(i), QString(), u"t"_s);
        spans << exactHit(u"http://d/%1"_s.arg(i), u"T%1"_s.arg(i), QString(), u"t"_s);
        if (i < 50)
            shown << u"T%1|t|http://d/%1"_s.arg(i);
    }
    QTest::newRow("fuzzy: 60 cells, the first 50 shown as the label says")
        << lowercaseTagNames(fuzzyPage(u"60"_s, cells)) << TitleSearchMode::Fuzzy << u"60"_s << shown;
    QTest::newRow("exact: 60 hits, the first 50 shown")
        << lowercaseTagNames(exactPage(u"60"_s, spans)) << TitleSearchMode::Exact << u"60"_s << shown;
    QTest::newRow("hits split by the separator count as rows")
        << u"相关新闻1篇<td class=\"text\">"_s + QString(u"|||"_s).repeated(70) + u"</td>"_s << TitleSearchMode::Fuzzy
        << u"1"_s << QStringList(50, u"||"_s);
    QTest::newRow("no option selected: count only")
        << lowercaseTagNames(exactPage(u"5"_s, {exactHit(u"http://a/1"_s, u"T"_s, source, u"t"_s)}))
        << TitleSearchMode::None << u"5"_s << QStringList();
}

void TestTitleSearch::parse_countAndHits()
{
    QFETCH(QString, page);
    QFETCH(TitleSearchMode, mode);
    QFETCH(QString, count);
    QFETCH(QStringList, hits);

    const TitlePage parsed = parseTitlePage(page, mode);
    QCOMPARE(parsed.count, count);
    QCOMPARE(rows(parsed.hits), hits);
}

void TestTitleSearch::openableHitUrl_onlyWebAddresses_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("openable");

    QTest::newRow("http") << u"http://news.example.com/a.html"_s << true;
    QTest::newRow("local file") << u"file:///etc/passwd"_s << false;
    QTest::newRow("program path") << u"C:\\Windows\\calc.exe"_s << false;
    QTest::newRow("relative") << u"/news/a.html"_s << false;
}

void TestTitleSearch::openableHitUrl_onlyWebAddresses()
{
    QFETCH(QString, link);
    QFETCH(bool, openable);
    QCOMPARE(openableHitUrl(link).isValid(), openable);
}

void TestTitleSearch::query_pageInPieces_isLowerCasedAndParsed()
{
    // Upper-case tags throughout, and the end of the page split inside "</HTML>".
    const QString page = exactPage(
        u"约1,230"_s, {exactHit(u"\"http://a.example/1.html\""_s, u"Headline"_s, u"新华网"_s, u"2010-01-02"_s),
                       exactHit(u"http://a.example/2.html"_s, u"Plain"_s, QString(), u"2010-01-03"_s)});
    const QByteArray bytes = toGbk(page);
    const qsizetype split = bytes.indexOf("</HT") + 4;
    m_server->otherwise()
        .chunks({"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + bytes.left(40), bytes.mid(40, split - 40),
                 bytes.mid(split)})
        .delay(30ms);

    TitleSearch search;
    Outcome outcome(search);
    QVERIFY(search.start(u"Headline"_s, TitleSearchMode::Exact));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.page);
    QCOMPARE(outcome.page->count, u"约1,230"_s);
    QCOMPARE(rows(outcome.page->hits), (QStringList{u"Headline（新华网）|2010-01-02|http://a.example/1.html"_s,
                                                    u"Plain|2010-01-03|http://a.example/2.html"_s}));
    QCOMPARE(outcome.endings, 1);
}

void TestTitleSearch::query_requestLine_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<TitleSearchMode>("mode");
    QTest::addColumn<QByteArray>("requestLine");

    QTest::newRow("blanks become +") << u"big news today"_s << TitleSearchMode::Exact
                                     << QByteArray(
                                            "GET /ns?tn=newstitle&from=news&rn=50&word=big+news+today  HTTP/1.1");
    QTest::newRow("a + is sent unchanged") << u"C++ news"_s << TitleSearchMode::Fuzzy
                                           << QByteArray("GET /ns?tn=news&from=news&rn=50&word=C+++news  HTTP/1.1");
    QTest::newRow("Chinese goes out as GBK bytes")
        << u"新闻 标题"_s << TitleSearchMode::Exact
        << QByteArray("GET /ns?tn=newstitle&from=news&rn=50&word=" + toGbk(u"新闻+标题"_s) + "  HTTP/1.1");
}

void TestTitleSearch::query_requestLine()
{
    QFETCH(QString, title);
    QFETCH(TitleSearchMode, mode);
    QFETCH(QByteArray, requestLine);

    m_server->otherwise().respond(200, "<html></html>");
    TitleSearch search;
    Outcome outcome(search);
    QVERIFY(search.start(title, mode));
    QVERIFY(outcome.wait());
    QCOMPARE(m_server->requests().size(), 1);
    const FakeRequest &request = m_server->requests().first();
    QCOMPARE(request.raw.left(request.raw.indexOf("\r\n")), requestLine);
    QCOMPARE(request.header("Host"), m_server->address().toLatin1());
    QVERIFY(outcome.page);
    QCOMPARE(outcome.page->count, u"0"_s);
}

void TestTitleSearch::query_optionSwitchedWhileRunning_cutsByTheNewOption()
{
    // A page that holds both blocks; the mode read at the end decides.
    const QString page = u"<HTML>相关新闻7篇<P class=\"res\">"_s
                         + exactHit(u"http://a/exact"_s, u"Exact"_s, QString(), u"1"_s) + u"</P><TABLE><TR>"_s
                         + fuzzyCell(u"http://a/fuzzy"_s, u"Fuzzy"_s, u"src"_s, u"2"_s) + u"</TR></TABLE></HTML>"_s;
    m_server->otherwise().chunks({"HTTP/1.1 200 OK\r\n\r\n", toGbk(page)}).delay(100ms);

    TitleSearchMode selected = TitleSearchMode::Exact;
    TitleSearch search;
    Outcome outcome(search);
    QVERIFY(search.start(u"t"_s, selected, [&selected] { return selected; }));
    QVERIFY(m_server->waitForRequests(1));
    selected = TitleSearchMode::Fuzzy;
    QVERIFY(outcome.wait());
    QVERIFY(outcome.page);
    QCOMPARE(rows(outcome.page->hits), QStringList{u"Fuzzy（src）|2|http://a/fuzzy"_s});
    QVERIFY(m_server->requests().first().path.startsWith(u"/ns?tn=newstitle&"_s));
}

void TestTitleSearch::query_failures_endWithNetworkFailure_data()
{
    QTest::addColumn<QString>("failure");

    QTest::newRow("refused connection") << u"refused"_s;
    QTest::newRow("stall without the end of the page") << u"stall"_s;
    QTest::newRow("hang-up before the end of the page") << u"close"_s;
    QTest::newRow("an error page with a count on it") << u"error page"_s;
    QTest::newRow("a captive portal's redirect") << u"portal"_s;
}

void TestTitleSearch::query_failures_endWithNetworkFailure()
{
    QFETCH(QString, failure);

    if (failure == u"refused") {
        QVERIFY(setConfigText(Cfg::Servers::News, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    } else if (failure == u"stall") {
        QVERIFY(setConfigInt(Cfg::Servers::Timeout, 1));
        m_server->otherwise().reply("HTTP/1.1 200 OK\r\n\r\n<html><body>");
    } else if (failure == u"error page") {
        m_server->otherwise().respond(503, toGbk(exactPage(u"9"_s, {})));
    } else if (failure == u"portal") {
        m_server->otherwise().reply("HTTP/1.1 302 Found\r\nLocation: http://10.255.255.1/\r\n\r\n<html></html>");
    } else {
        m_server->otherwise().reply("HTTP/1.1 200 OK\r\n\r\n<html><body>").closeEarly();
    }
    TitleSearch search;
    Outcome outcome(search);
    QVERIFY(search.start(u"t"_s, TitleSearchMode::Exact));
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.message, TitleSearchText::failed());
    QVERIFY(!outcome.page);
    QVERIFY(!search.isRunning());
}

void TestTitleSearch::query_secondQuery_dropsTheFirst()
{
    // The first answer is due well before the second: had anything of it got
    // through, it would show before the second query ends.
    m_server->on(u"/ns?tn=newstitle&from=news&rn=50&word=first"_s)
        .respond(200, toGbk(u"<html>相关新闻111篇</html>"_s))
        .delay(50ms);
    m_server->on(u"/ns?tn=newstitle&from=news&rn=50&word=second"_s)
        .respond(200, toGbk(u"<html>相关新闻222篇</html>"_s))
        .delay(300ms);

    TitleSearch search;
    Outcome outcome(search);
    QVERIFY(search.start(u"first"_s, TitleSearchMode::Exact));
    QVERIFY(m_server->waitForRequests(1));
    QVERIFY(search.start(u"second"_s, TitleSearchMode::Exact));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.page);
    QCOMPARE(outcome.page->count, u"222"_s);
    QCOMPARE(outcome.endings, 1);
    QCOMPARE(m_server->connectionCount(), 2);
}

void TestTitleSearch::query_withoutTitleOrOption_startsNothing()
{
    m_server->otherwise().silent();
    TitleSearch search;
    QVERIFY(!search.start(QString(), TitleSearchMode::Exact));
    QVERIFY(search.start(u"t"_s, TitleSearchMode::Exact));
    QVERIFY(m_server->waitForRequests(1));
    // An empty title leaves the running query alone; no option drops it.
    QVERIFY(!search.start(QString(), TitleSearchMode::Exact));
    QVERIFY(search.isRunning());
    QVERIFY(!search.start(u"t"_s, TitleSearchMode::None));
    QVERIFY(!search.isRunning());
    QCOMPARE(m_server->connectionCount(), 1);
}

QTEST_GUILESS_MAIN(TestTitleSearch)
#include "tst_title_search.moc"
