#include "net/service_checks.h"
#include "net/service_client.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include "settings/cls_ini.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString UpdatePath = u"/index.php?m=show&action=upnew&time="_s;
const QString NoticePath = u"/index.php?m=show&action=notice"_s;
const QString ErrorVersionPath = u"/index.php?m=show&action=errorwords"_s;
const QString ErrorDataPath = u"/data/errorwords.txt"_s;
const QString SameVersionPath = u"/index.php?m=show&action=samewords"_s;
const QString SameDataPath = u"/data/samewords.txt"_s;

// The count a stored library file holds: the text the server sent, plus the
// one "\r\n" the checks add when they store it.
int storedLibraryCount(const QByteArray &file)
{
    return libraryCount(file.endsWith("\r\n") ? file.chopped(2) : file);
}

// Everything one run of the checks reported.
struct Run
{
    QStringList progress;
    QList<LibraryCheck> libraries;
    std::optional<std::optional<QString>> handOver;
    QStringList updateIgnored;
    std::optional<QList<Notice>> finished;
    bool passedNoticeStep = false;

    bool over() const { return handOver || finished; }
};

bool sameNotices(const QList<Notice> &got, const QList<Notice> &expected)
{
    if (got.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (got.at(i).text != expected.at(i).text || got.at(i).link != expected.at(i).link)
            return false;
    }
    return true;
}

} // namespace

class TestServiceChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void parseNotices_data();
    void parseNotices();

    void updateReply_data();
    void updateReply();
    void unreachableServer_reachesTheEndWithTheSingleNotice();
    void library_data();
    void library();
    void libraryWriteFailure_isReportedAndRetriedNextTime();
    void logoutNotice_endsWithinItsLimit_data();
    void logoutNotice_endsWithinItsLimit();
    void shippedLibraryCounts_matchTheShippedFiles();

private:
    Run runChecks();
    QStringList requestPaths() const;

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestServiceChecks::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->isListening());
    QVERIFY(m_server->serve(Cfg::Servers::Service));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 5));
}

void TestServiceChecks::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

Run TestServiceChecks::runChecks()
{
    ServiceClient client;
    ServiceChecks checks(client);
    Run run;
    connect(&checks, &ServiceChecks::progress, this, [&](const QString &text) { run.progress << text; });
    connect(&checks, &ServiceChecks::libraryChecked, this, [&](const LibraryCheck &c) { run.libraries << c; });
    connect(&checks, &ServiceChecks::handOverRequested, this,
            [&](const std::optional<QString> &argument) { run.handOver = argument; });
    connect(&checks, &ServiceChecks::updateIgnored, this, [&](const QString &why) { run.updateIgnored << why; });
    connect(&checks, &ServiceChecks::finished, this, [&](const QList<Notice> &notices) { run.finished = notices; });
    checks.start();
    checks.start(); // a second start changes nothing
    // Callers find out through finished or handOver being unset.
    (void)QTest::qWaitFor([&] { return run.over(); }, 15000);
    run.passedNoticeStep = checks.passedNoticeStep();
    return run;
}

QStringList TestServiceChecks::requestPaths() const
{
    QStringList paths;
    for (const FakeRequest &request : m_server->requests())
        paths << request.path;
    return paths;
}

void TestServiceChecks::parseNotices_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QList<Notice>>("notices");
    QTest::newRow("skipped index stays empty")
        << u"A|u1<br><br>C|u3"_s << QList<Notice>{{u"A"_s, u"u1"_s}, {}, {u"C"_s, u"u3"_s}};
    QTest::newRow("empty reply: no connection") << QString() << QList<Notice>{{u"当前没有网络连接。"_s, {}}};
    QTest::newRow("leading empty line") << u"<br>B"_s << QList<Notice>{{}, {u"B"_s, {}}};
    QTest::newRow("link ends at the second bar, trailing break adds nothing")
        << u"A|u1|x<br>"_s << QList<Notice>{{u"A"_s, u"u1"_s}};
    QList<Notice> hundred;
    QStringList lines;
    for (int i = 0; i < 250000; ++i) {
        lines << u"N"_s + QString::number(i);
        if (i < 100)
            hundred << Notice{lines.last(), {}};
    }
    QTest::newRow("a quarter million lines: the first 100 shown") << lines.join(u"<br>"_s) << hundred;
    QList<Notice> skipped(100);
    QTest::newRow("a notice past the 100th line is not shown")
        << QString(u"<br>"_s).repeated(150) + u"late|http://x/"_s << QList<Notice>();
    skipped.last() = {u"last"_s, {}};
    QTest::newRow("the 100th line still is") << QString(u"<br>"_s).repeated(99) + u"last"_s << skipped;
}

void TestServiceChecks::parseNotices()
{
    QFETCH(QString, reply);
    QFETCH(QList<Notice>, notices);
    QVERIFY(sameNotices(::parseNotices(reply), notices));
}

void TestServiceChecks::updateReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("key"); // the folder holds "\setting\update.pub"
    QTest::addColumn<bool>("handedOver");
    QTest::addColumn<std::optional<QString>>("argument");
    QTest::newRow("update announced") << QByteArray("a|b|c") << true << true << std::optional(u"c|a|b"_s);
    QTest::newRow("no update") << QByteArray() << true << false << std::optional<QString>();
    QTest::newRow("blank reply is no update") << QByteArray(" \r\n") << true << false << std::optional<QString>();
    // What the updater would not install never ends the program.
    QTest::newRow("too few fields") << QByteArray("a|b") << true << false << std::optional<QString>();
    QTest::newRow("a captive portal's page")
        << QByteArray("<html><head><title>Wi-Fi</title></head><body>Log in to continue</body></html>") << true << false
        << std::optional<QString>();
    QTest::newRow("an entry the updater refuses")
        << QByteArray("../a|b|c") << true << false << std::optional<QString>();
    QTest::newRow("nothing newer than the installed stamp")
        << QByteArray("a|20240101|c<br>b|20231231|d") << true << false << std::optional<QString>();
    QTest::newRow("no key to check the package with")
        << QByteArray("a|b|c") << false << false << std::optional<QString>();
}

void TestServiceChecks::updateReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, key);
    QFETCH(bool, handedOver);
    QFETCH(std::optional<QString>, argument);
    QVERIFY(setConfigText(Cfg::vision::update, u"20240101"_s));
    if (key)
        QVERIFY(m_folder->writeFile(u"\\setting\\update.pub", "untrusted comment: the maker's key\n"));
    m_server->on(UpdatePath + u"20240101"_s).respond(200, reply);

    const Run run = runChecks();
    QCOMPARE(run.handOver.has_value(), handedOver);
    QCOMPARE(run.finished.has_value(), !handedOver);
    // The shutdown sends the logout notice only past the notice step.
    QCOMPARE(run.passedNoticeStep, !handedOver);
    // What was not handed over is said, unless it was the plain empty reply.
    QCOMPARE(run.updateIgnored.size(), !handedOver && !reply.trimmed().isEmpty() ? 1 : 0);
    if (handedOver) {
        QCOMPARE(*run.handOver, argument);
        // Nothing after the update check is asked, so no notice step passed.
        QCOMPARE(requestPaths(), QStringList{UpdatePath + u"20240101"_s});
        QCOMPARE(run.progress, QStringList{u"检查更新"_s});
    }
}

void TestServiceChecks::unreachableServer_reachesTheEndWithTheSingleNotice()
{
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    const QByteArray library = m_folder->readFile(u"\\data\\error.dat");
    const Run run = runChecks();
    QVERIFY(run.finished);
    QVERIFY(sameNotices(*run.finished, {{u"当前没有网络连接。"_s, {}}}));
    QCOMPARE(run.progress, (QStringList{u"检查更新"_s, u"检查错别字库更新"_s, u"检查同义字库更新"_s}));
    QCOMPARE(run.libraries.size(), 2);
    for (const LibraryCheck &check : run.libraries)
        QCOMPARE(check.outcome, LibraryCheck::Outcome::Unchanged);
    QCOMPARE(m_folder->readFile(u"\\data\\error.dat"), library);
}

void TestServiceChecks::library_data()
{
    QTest::addColumn<QString>("stored");      // ErrorWord before the run
    QTest::addColumn<QByteArray>("version");  // the version reply
    QTest::addColumn<QByteArray>("download"); // empty: the library path is not found
    QTest::addColumn<bool>("asked");          // the library was downloaded
    QTest::addColumn<int>("count");           // stored ErrorWordNums; -1: left alone

    const QByteArray threeLines = FakeHttpServer::gbk(u"错别|错别字\r\n再接再励|再接再厉\r\n按步就班|按部就班"_s);
    QTest::newRow("three lines stored with the count 2") << u"v1"_s << QByteArray("v2") << threeLines << true << 2;
    QTest::newRow("version equal to the stored one") << u"v1"_s << QByteArray("v1") << threeLines << false << -1;
    QTest::newRow("version with a line end equals the stored one")
        << u"v1"_s << QByteArray("v1\r\n") << threeLines << false << -1;
    QTest::newRow("30-character version ignored") << u"v1"_s << QByteArray(30, 'x') << threeLines << false << -1;
    QTest::newRow("29-character version used") << u"v1"_s << QByteArray(29, 'x') << threeLines << true << 2;
    QTest::newRow("empty download keeps the library") << u"v1"_s << QByteArray("v2") << QByteArray() << true << -1;
    QTest::newRow("empty version reply asks for no library") << u"v1"_s << QByteArray() << threeLines << false << -1;
    QTest::newRow("first version on a fresh folder")
        << QString() << QByteArray("2024") << QByteArray("a|b") << true << 0;
}

void TestServiceChecks::library()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, download);
    QFETCH(bool, asked);
    QFETCH(int, count);
    QVERIFY(setConfigText(Cfg::vision::ErrorWord, stored));
    QVERIFY(setConfigInt(Cfg::vision::ErrorWordNums, 41));
    m_server->on(NoticePath).respond(200, "A|u1");
    m_server->on(ErrorVersionPath).respond(200, version);
    if (!download.isEmpty())
        m_server->on(ErrorDataPath).respond(200, download, "text/plain");
    const QByteArray before = m_folder->readFile(u"\\data\\error.dat");

    const Run run = runChecks();
    QVERIFY(run.finished);
    QVERIFY(sameNotices(*run.finished, {{u"A"_s, u"u1"_s}}));
    QStringList order{UpdatePath, NoticePath, ErrorVersionPath};
    if (asked)
        order << ErrorDataPath;
    order << SameVersionPath;
    QCOMPARE(requestPaths(), order);
    QCOMPARE(run.progress.contains(u"正在更新错别字库"_s), asked);
    QCOMPARE(run.libraries.size(), 2);
    const LibraryCheck &check = run.libraries.first();
    QCOMPARE(check.library, ServedLibrary::ErrorWords);

    if (count < 0) {
        QCOMPARE(check.outcome, LibraryCheck::Outcome::Unchanged);
        QCOMPARE(m_folder->readFile(u"\\data\\error.dat"), before);
        QCOMPARE(configText(Cfg::vision::ErrorWord), stored);
        QCOMPARE(configInt(Cfg::vision::ErrorWordNums), 41);
    } else {
        QCOMPARE(check.outcome, LibraryCheck::Outcome::Updated);
        QCOMPARE(check.count, count);
        QCOMPARE(m_folder->readFile(u"\\data\\error.dat"), download + "\r\n");
        QCOMPARE(configInt(Cfg::vision::ErrorWordNums), count);
        QCOMPARE(configText(Cfg::vision::ErrorWord), QString::fromLatin1(version));
    }
}

void TestServiceChecks::libraryWriteFailure_isReportedAndRetriedNextTime()
{
    QVERIFY(setConfigText(Cfg::vision::ErrorWord, u"v1"_s));
    QVERIFY(setConfigText(Cfg::vision::SameWord, u"s1"_s));
    m_server->on(ErrorVersionPath).respond(200, "v2");
    m_server->on(ErrorDataPath).respond(200, "a|b\r\nc|d");
    m_server->on(SameVersionPath).respond(200, "s2");
    m_server->on(SameDataPath).respond(200, "x|y");
    const QString file = m_folder->path(u"\\data\\error.dat");
    const QByteArray before = m_folder->readFile(u"\\data\\error.dat");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));

    const Run run = runChecks();
    QVERIFY(run.finished);
    QCOMPARE(run.libraries.size(), 2);
    QCOMPARE(run.libraries.at(0).outcome, LibraryCheck::Outcome::WriteFailed);
    QCOMPARE(run.libraries.at(0).failedAt, file);
    QCOMPARE(m_folder->readFile(u"\\data\\error.dat"), before);
    QCOMPARE(configText(Cfg::vision::ErrorWord), u"v1"_s);
    // The other library is not held back by the first one's failure.
    QCOMPARE(run.libraries.at(1).outcome, LibraryCheck::Outcome::Updated);
    QCOMPARE(m_folder->readFile(u"\\data\\same.dat"), QByteArray("x|y\r\n"));
    QCOMPARE(configText(Cfg::vision::SameWord), u"s2"_s);
    QCOMPARE(configInt(Cfg::vision::SameWordNums), 0);
}

void TestServiceChecks::logoutNotice_endsWithinItsLimit_data()
{
    QTest::addColumn<QString>("server");
    QTest::newRow("answering") << u"answering"_s;
    QTest::newRow("never answering") << u"silent"_s;
    QTest::newRow("refusing") << u"refused"_s;
}

void TestServiceChecks::logoutNotice_endsWithinItsLimit()
{
    QFETCH(QString, server);
    const QString path = u"/index.php?m=show&action=logout"_s;
    // The settings allow far longer exchanges than a closing program may wait.
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 30));
    if (server == u"answering")
        m_server->on(path).respond(200, "ok");
    else if (server == u"silent")
        m_server->on(path).silent();
    else
        QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));

    int done = 0;
    sendLogoutNotice(this, [&] { ++done; });
    QCOMPARE(done, 0);
    QTRY_COMPARE_WITH_TIMEOUT(done, 1, 5000);
    if (server != u"refused")
        QCOMPARE(requestPaths(), QStringList{path});
    QTest::qWait(0);
    QCOMPARE(done, 1);
}

void TestServiceChecks::shippedLibraryCounts_matchTheShippedFiles()
{
    const QString root = QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE);
    const Cls_Ini ini(root + u"/setting/config.ini"_s);
    const QList<std::pair<ConfigKey, QString>> libraries{{Cfg::vision::ErrorWordNums, u"/data/error.dat"_s},
                                                         {Cfg::vision::SameWordNums, u"/data/same.dat"_s}};
    for (const auto &[key, file] : libraries) {
        QFile library(root + file);
        QVERIFY(library.open(QIODevice::ReadOnly));
        const int count = storedLibraryCount(library.readAll());
        QVERIFY(count > 0);
        QCOMPARE(ini.GetIniKey(key.sectionName(), key.keyName()), QString::number(count));
    }
}

QTEST_GUILESS_MAIN(TestServiceChecks)
#include "tst_service_checks.moc"
