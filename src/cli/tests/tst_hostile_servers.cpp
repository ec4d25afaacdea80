// Every network client the programs have, run in this process against
// servers that flood, stall, redirect or are not there: each ends on its own
// failure within the time-out and a second, writes nothing, and the process
// stays small.
#include "checks/site_statistics.h"
#include "checks/title_search.h"
#include "net/advertisement.h"
#include "net/forum_login.h"
#include "net/service_checks.h"
#include "net/service_client.h"
#include "rewrite/translation.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/hostile_server.h"
#include "testsupport/temp_app_folder.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <memory>
#include <optional>

using namespace zorvane;

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<HostileServer::Behaviour>)

namespace {

constexpr int TimeoutSeconds = 1;
// Each client must have ended by then.
constexpr qint64 LimitMs = TimeoutSeconds * 1000 + 1000;
constexpr qint64 MemoryLimitKb = 300 * 1024;

// The most memory this process has held so far.
qint64 peakMemoryKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Every file of the folder with a digest of its bytes.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(file.fileName(), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

// One client's time, told and held to the limit.
void report(const QString &client, qint64 ms)
{
    qInfo("%s: %lld ms", qPrintable(client), ms);
    QVERIFY2(ms >= 0 && ms <= LimitMs, qPrintable(u"%1: %2 ms"_s.arg(client).arg(ms)));
}

// Runs start() and waits until `ended` holds, at most a generous while past
// the limit, so that a client that overruns is measured rather than cut off.
template <typename Start, typename Ended>
qint64 timed(Start start, Ended ended, qint64 waitMs = LimitMs + 5000)
{
    QElapsedTimer clock;
    clock.start();
    start();
    if (!QTest::qWaitFor(ended, int(waitMs)))
        return -1;
    return clock.elapsed();
}

} // namespace

class TestHostileServers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyClient_failsQuicklyAndWritesNothing_data();
    void everyClient_failsQuicklyAndWritesNothing();

private:
    void forumLogin();
    void serviceFetches();
    void titleSearch();
    void siteStatistics();
    void translation();
};

void TestHostileServers::everyClient_failsQuicklyAndWritesNothing_data()
{
    QTest::addColumn<std::optional<HostileServer::Behaviour>>("behaviour");
    QTest::newRow("a 100 MB reply") << std::optional(HostileServer::Behaviour::HugeReply);
    QTest::newRow("a header of 100,000 Set-Cookie lines") << std::optional(HostileServer::Behaviour::ManyCookies);
    QTest::newRow("one byte a second") << std::optional(HostileServer::Behaviour::Drip);
    QTest::newRow("a captive portal's page") << std::optional(HostileServer::Behaviour::CaptivePortal);
    QTest::newRow("a closed port") << std::optional<HostileServer::Behaviour>();
}

void TestHostileServers::everyClient_failsQuicklyAndWritesNothing()
{
    QFETCH(std::optional<HostileServer::Behaviour>, behaviour);
    TempAppFolder app;
    QVERIFY(app.isValid());
    std::unique_ptr<HostileServer> server;
    QString address = u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort());
    if (behaviour) {
        server = std::make_unique<HostileServer>(*behaviour);
        QVERIFY(server->port() != 0);
        address = server->address();
    }
    for (const ConfigKey &key : {Cfg::Servers::Forum, Cfg::Servers::Avatar, Cfg::Servers::Service, Cfg::Servers::Relay,
                                 Cfg::Servers::Translate, Cfg::Servers::TranslateAddress, Cfg::Servers::News,
                                 Cfg::Servers::Alexa, Cfg::Servers::PageRank, Cfg::Servers::Baidu, Cfg::Servers::Google,
                                 Cfg::Servers::Bing, Cfg::Servers::Soso, Cfg::Servers::Sogou, Cfg::Servers::LinkStats})
        QVERIFY(setConfigText(key, address));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, TimeoutSeconds));
    // Replies over their bound are logged; that is expected here.
    QTest::failOnWarning(QRegularExpression(u"^(?!.*(bound|redirect)).*$"_s));
    const QMap<QString, QByteArray> before = snapshot(app.folder().root());

    forumLogin();
    serviceFetches();
    titleSearch();
    siteStatistics();
    translation();

    QCOMPARE(snapshot(app.folder().root()), before);
    const qint64 peak = peakMemoryKb();
    qInfo("peak memory so far: %lld MB", peak / 1024);
    QVERIFY2(peak > 0 && peak < MemoryLimitKb, qPrintable(u"%1 kB"_s.arg(peak)));
}

void TestHostileServers::forumLogin()
{
    ForumLogin login;
    std::optional<QString> said;
    connect(&login, &ForumLogin::failed, this, [&](const QString &text) { said = text; });
    connect(&login, &ForumLogin::succeeded, this, [&] { said = u"logged in"_s; });
    const qint64 ms = timed([&] { login.start(u"editor"_s, u"secret"_s); }, [&] { return said.has_value(); });
    report(u"forum login"_s, ms);
    QCOMPARE(*said, QString::fromUtf16(LoginSteps::NetworkFailure));
}

void TestHostileServers::serviceFetches()
{
    // The fetches a start makes, the advertisement's and the default texts'
    // among them, all at once; each is on its own within the limit, and every
    // one of them reads as the empty reply.
    ServiceClient client;
    struct Fetch
    {
        QString path;
        qint64 bound;
        std::optional<QByteArray> reply;
        qint64 ms = -1;
    };
    QList<Fetch> fetches = {
        {ServicePath::advertisement(), ServiceClient::TextBound, {}},
        {ServicePath::formatDefault(), ServiceClient::TextBound, {}},
        {ServicePath::ycDefault(), ServiceClient::TextBound, {}},
        {ServicePath::notice(), ServiceClient::TextBound, {}},
        {ServicePath::updateList(QString()), ServiceClient::TextBound, {}},
        {ServicePath::errorWordsVersion(), ServiceClient::TextBound, {}},
        {ServicePath::errorWords(), ServiceClient::LibraryBound, {}},
        {ServicePath::sameWords(), ServiceClient::LibraryBound, {}},
    };
    QElapsedTimer clock;
    clock.start();
    for (Fetch &fetch : fetches) {
        client.fetchBytes(
            fetch.path, this,
            [&fetch, &clock](const QByteArray &reply) {
                fetch.reply = reply;
                fetch.ms = clock.elapsed();
            },
            fetch.bound);
    }
    // The whole round of checks a start makes, alongside: four fetches one
    // after the other.
    ServiceChecks checks(client, ServiceChecks::UpdatePolicy::Continue);
    std::optional<QList<Notice>> notices;
    QList<LibraryCheck> libraries;
    connect(&checks, &ServiceChecks::libraryChecked, this, [&](const LibraryCheck &check) { libraries.append(check); });
    connect(&checks, &ServiceChecks::finished, this, [&](const QList<Notice> &shown) { notices = shown; });
    checks.start();

    QVERIFY(QTest::qWaitFor(
        [&] {
            return notices && std::all_of(fetches.cbegin(), fetches.cend(), [](const Fetch &f) { return f.reply; });
        },
        int(4 * LimitMs + 5000)));
    for (const Fetch &fetch : std::as_const(fetches)) {
        report(fetch.path, fetch.ms);
        QCOMPARE(*fetch.reply, QByteArray());
    }
    QVERIFY2(clock.elapsed() <= 4 * LimitMs, qPrintable(u"service checks: %1 ms"_s.arg(clock.elapsed())));
    // What the windows make of that: no advertisement, no default text (an
    // empty one is never placed), the single notice, libraries unchanged.
    QCOMPARE(parseAdvertisement(QString()), std::nullopt);
    QCOMPARE(notices->size(), 1);
    QCOMPARE(notices->first().text, noConnectionNotice());
    QCOMPARE(libraries.size(), 2);
    for (const LibraryCheck &check : std::as_const(libraries))
        QCOMPARE(check.outcome, LibraryCheck::Outcome::Unchanged);
}

void TestHostileServers::titleSearch()
{
    TitleSearch search;
    std::optional<QString> said;
    connect(&search, &TitleSearch::failed, this, [&](const QString &message) { said = message; });
    connect(&search, &TitleSearch::finished, this, [&] { said = u"finished"_s; });
    const qint64 ms =
        timed([&] { QVERIFY(search.start(u"新闻标题"_s, TitleSearchMode::Fuzzy)); }, [&] { return said.has_value(); });
    report(u"title search"_s, ms);
    QCOMPARE(*said, TitleSearchText::failed());
}

void TestHostileServers::siteStatistics()
{
    SiteStatistics statistics;
    QMap<SeoFigure, QString> figures;
    QStringList messages;
    bool finished = false;
    connect(&statistics, &SiteStatistics::figureChanged, this,
            [&](SeoFigure figure, const QString &text) { figures[figure] = text; });
    connect(&statistics, &SiteStatistics::networkFailure, this, [&](const QString &text) { messages.append(text); });
    connect(&statistics, &SiteStatistics::finished, this, [&] { finished = true; });
    const qint64 ms = timed([&] { QVERIFY(statistics.start(u"example.com"_s)); }, [&] { return finished; });
    report(u"site statistics"_s, ms);
    QCOMPARE(figures.size(), seoFigureCount);
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        QVERIFY2(it.value() == SeoText::failed(), qPrintable(seoFigureLabel(it.key()) + u'=' + it.value()));
    QCOMPARE(messages, QStringList{SeoText::networkFailure()});
}

void TestHostileServers::translation()
{
    ArticleTranslator translator;
    std::optional<TranslationOutcome> outcome;
    connect(&translator, &ArticleTranslator::finished, this, [&](const TranslationOutcome &ended) { outcome = ended; });
    const qint64 ms =
        timed([&] { translator.translateArticle(u"<p>今天天气很好。</p>"_s, TranslationDirection::ZhToEn); },
              [&] { return outcome.has_value(); });
    report(u"translation"_s, ms);
    QCOMPARE(outcome->status, TranslationOutcome::Status::NetworkFailure);
    QCOMPARE(outcome->message, u"网络故障，暂时无法使用翻译功能。"_s);
    QVERIFY(!outcome->replacesArticle());
}

QTEST_GUILESS_MAIN(TestHostileServers)
#include "tst_hostile_servers.moc"
