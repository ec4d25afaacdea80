#include "testsupport/minisign_tool.h"
#include "update_fixture.h"
#include "updater/update_run.h"
#include "updater/update_texts.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Everything a run said, in order.
struct RunLog
{
    QStringList statuses;
    QList<DownloadProgress> progress;
    QStringList installed;
    QString noUpdate;
    std::optional<UpdateRun::Outcome> outcome;

    explicit RunLog(UpdateRun &run)
    {
        QObject::connect(&run, &UpdateRun::statusChanged, [this](const QString &text) { statuses << text; });
        QObject::connect(&run, &UpdateRun::progressChanged, [this](const DownloadProgress &p) { progress << p; });
        QObject::connect(&run, &UpdateRun::packageInstalled,
                         [this](int number, const QString &name) { installed << QString::number(number) + name; });
        QObject::connect(&run, &UpdateRun::noUpdate, [this](const QString &text) { noUpdate = text; });
        // zorvane-cli's way: whatever is found is confirmed at once.
        QObject::connect(&run, &UpdateRun::updatesFound, &run, &UpdateRun::proceed);
        QObject::connect(&run, &UpdateRun::finished, [this](UpdateRun::Outcome o) { outcome = o; });
    }
    bool wait() const
    {
        return QTest::qWaitFor([this] { return outcome.has_value(); }, 20000);
    }
};

QByteArray header(qint64 length)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n";
}

// Gone, or a zombie waiting for whoever reaps orphans here.
bool hasEnded(const QByteArray &pid)
{
    QFile stat(u"/proc/"_s + QString::fromLatin1(pid) + u"/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

QStringList leftovers(const TempAppFolder &app)
{
    return QDir(app.path(u"\\update\\")).entryList({u"*.part"_s}, QDir::Files);
}

} // namespace

class TestUpdateRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onePackage_installs();
    void twoPackages_eachScriptEndsBeforeTheNextPiecesAreWritten();
    void packageWithoutMarker_runsNoScript();
    void failures_leaveTheVersionAlone_data();
    void failures_leaveTheVersionAlone();
    void scriptOverTheLimit_isEndedWithItsChildren();
    void signatures_data();
    void signatures();
    void versionThatCannotBeWritten_isReported();
    void noUpdate_endsWithTheMessage();
};

void TestUpdateRun::onePackage_installs()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(setConfigText(Cfg::vision::update, u"OLD"_s));
    fixture.list(u"OLD"_s).respond(200, "a|b|c");
    const QByteArray package = UpdateFixture::package("pwd > ran.txt\nmv update/1 moved.bin\n", {"NEW FILE"});
    fixture.server->on(u"/c"_s).respond(200, package);

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    QCOMPARE(log.statuses, (QStringList{UpdateText::downloading(1, u"a"_s, 1), UpdateText::installing(u"a"_s),
                                        UpdateText::succeeded()}));
    QCOMPARE(log.installed, QStringList{u"1a"_s});
    QCOMPARE(log.progress.last().percentText(), u"100%"_s);

    const TempAppFolder &app = *fixture.app;
    QCOMPARE(app.readFile(u"\\update\\a.md"), package);
    QCOMPARE(app.readFile(u"\\moved.bin"), QByteArray("NEW FILE"));
    // The script ran in the application folder.
    QCOMPARE(QDir(QString::fromLocal8Bit(app.readFile(u"\\ran.txt").trimmed())).canonicalPath(),
             QDir(app.folder().root()).canonicalPath());
    QCOMPARE(configText(Cfg::vision::vision), u"a"_s);
    QCOMPARE(configText(Cfg::vision::update), u"b"_s);
    QVERIFY(leftovers(app).isEmpty());
}

void TestUpdateRun::twoPackages_eachScriptEndsBeforeTheNextPiecesAreWritten()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p1<br>d|e|/p2");
    // Both packages write "update/1"; the first script reads its own only
    // after a pause, long enough for an updater that did not wait to have
    // written the second package's pieces over it.
    fixture.server->on(u"/p1"_s).respond(
        200, UpdateFixture::package("sleep 0.3\ncp update/1 saw1\necho one >> order\n", {"FIRST"}));
    fixture.server->on(u"/p2"_s).respond(200,
                                         UpdateFixture::package("cp update/1 saw2\necho two >> order\n", {"SECOND"}));
    QByteArray orderWhenSecondAsked;
    connect(fixture.server.get(), &FakeHttpServer::requestReceived, this, [&](const FakeRequest &request) {
        if (request.path == u"/p2")
            orderWhenSecondAsked = fixture.app->readFile(u"\\order");
    });

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    QCOMPARE(log.installed, (QStringList{u"1a"_s, u"2d"_s}));
    QCOMPARE(log.statuses, (QStringList{UpdateText::downloading(1, u"a"_s, 2), UpdateText::installing(u"a"_s),
                                        UpdateText::downloading(2, u"d"_s, 2), UpdateText::installing(u"d"_s),
                                        UpdateText::succeeded()}));
    QCOMPARE(orderWhenSecondAsked, QByteArray("one\n"));
    QCOMPARE(fixture.app->readFile(u"\\saw1"), QByteArray("FIRST"));
    QCOMPARE(fixture.app->readFile(u"\\saw2"), QByteArray("SECOND"));
    QCOMPARE(fixture.app->readFile(u"\\order"), QByteArray("one\ntwo\n"));
    QCOMPARE(configText(Cfg::vision::vision), u"d"_s);
    QCOMPARE(configText(Cfg::vision::update), u"e"_s);
}

void TestUpdateRun::packageWithoutMarker_runsNoScript()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(fixture.app->writeFile(u"\\update\\0.bat", "echo stale > stale.txt\n"));
    fixture.list().respond(200, "a|b|/p");
    fixture.server->on(u"/p"_s).respond(200, "no marker at all");

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    QCOMPARE(fixture.app->readFile(u"\\update\\a.md"), QByteArray("no marker at all"));
    QVERIFY(!QFile::exists(fixture.app->path(u"\\stale.txt")));
    QCOMPARE(configText(Cfg::vision::vision), u"a"_s);
}

void TestUpdateRun::failures_leaveTheVersionAlone_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<QByteArray>>("second"); // the reply for /p2
    QTest::addColumn<bool>("closeEarly");
    QTest::addColumn<QString>("status");

    const QByteArray good = UpdateFixture::package("echo ok\n", {"x"});
    const QString twoPackages = u"a|b|/p1<br>d|e|/p2"_s;
    QTest::newRow("stall") << twoPackages << QList<QByteArray>{header(good.size()) + good.left(5)} << false
                           << UpdateText::networkFailure();
    QTest::newRow("early close") << twoPackages << QList<QByteArray>{header(good.size()) + good.left(5)} << true
                                 << UpdateText::networkFailure();
    QTest::newRow("404") << twoPackages << QList<QByteArray>{FakeHttpServer::httpResponse(404, good)} << false
                         << UpdateText::networkFailure() + u"（HTTP/1.1 404 Not Found）"_s;
    QTest::newRow("no Content-Length") << twoPackages << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n" + good} << true
                                       << UpdateText::networkFailure() + u"（HTTP/1.1 200 OK）"_s;
    QTest::newRow("chunked transfer coding")
        << twoPackages << QList<QByteArray>{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n"}
        << false << UpdateText::networkFailure() + u"（HTTP/1.1 200 OK）"_s;
    QTest::newRow("script fails") << twoPackages
                                  << QList<QByteArray>{FakeHttpServer::httpResponse(200,
                                                                                    UpdateFixture::package("exit 3\n"))}
                                  << false << UpdateText::installFailed();
    QTest::newRow("name that leaves the folder")
        << u"a|b|/p1<br>../d|e|/p2"_s << QList<QByteArray>{} << false << UpdateText::listRefused();
}

void TestUpdateRun::failures_leaveTheVersionAlone()
{
    QFETCH(QString, list);
    QFETCH(QList<QByteArray>, second);
    QFETCH(bool, closeEarly);
    QFETCH(QString, status);
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(setConfigText(Cfg::vision::vision, u"v1"_s));
    QVERIFY(setConfigText(Cfg::vision::update, u"s1"_s));
    fixture.list(u"s1"_s).respond(200, list.toUtf8());
    fixture.server->on(u"/p1"_s).respond(200, UpdateFixture::package("echo first > first.txt\n"));
    FakeRoute &route = fixture.server->on(u"/p2"_s).chunks(second);
    if (closeEarly)
        route.closeEarly();

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Failed);
    QCOMPARE(log.statuses.last(), status);
    QVERIFY(!run.failureDetail().isEmpty());
    QCOMPARE(configText(Cfg::vision::vision), u"v1"_s);
    QCOMPARE(configText(Cfg::vision::update), u"s1"_s);
    // A download cut short never leaves a package that looks whole.
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\d.md")), status == UpdateText::installFailed());
    QVERIFY(leftovers(*fixture.app).isEmpty());
    if (status == UpdateText::listRefused()) {
        QCOMPARE(fixture.server->requests().size(), 1); // only the list
        QVERIFY(!QFile::exists(fixture.app->path(u"\\first.txt")));
    } else {
        // The first package stays installed.
        QCOMPARE(log.installed, QStringList{u"1a"_s});
        QVERIFY(QFile::exists(fixture.app->path(u"\\first.txt")));
    }
}

void TestUpdateRun::scriptOverTheLimit_isEndedWithItsChildren()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p");
    fixture.server->on(u"/p"_s).respond(200, UpdateFixture::package("sleep 60 &\necho $! > child.pid\nwait\n"));

    UpdateRun run;
    run.setScriptTimeout(500ms);
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Failed);
    QCOMPARE(log.statuses.last(), UpdateText::installFailed());
    const QByteArray child = fixture.app->readFile(u"\\child.pid").trimmed();
    QVERIFY(!child.isEmpty());
    QTRY_VERIFY(hasEnded(child));
    QVERIFY(configText(Cfg::vision::vision).isEmpty());
}

void TestUpdateRun::signatures_data()
{
    QTest::addColumn<QString>("signature"); // which signature the server holds
    QTest::addColumn<QString>("key");       // what "\setting\update.pub" holds
    QTest::addColumn<bool>("installed");

    QTest::newRow("prehashed, good") << u"prehashed"_s << u"maker"_s << true;
    QTest::newRow("legacy, good") << u"legacy"_s << u"maker"_s << true;
    QTest::newRow("signed other bytes") << u"other bytes"_s << u"maker"_s << false;
    QTest::newRow("signed with another key") << u"stranger"_s << u"maker"_s << false;
    QTest::newRow("no signature on the server") << u"none"_s << u"maker"_s << false;
    QTest::newRow("key file unreadable") << u"prehashed"_s << u"garbage"_s << false;
    QTest::newRow("no key: no check") << u"none"_s << u"none"_s << true;
}

void TestUpdateRun::signatures()
{
    QFETCH(QString, signature);
    QFETCH(QString, key);
    QFETCH(bool, installed);
    QTemporaryDir keys;
    MinisignTool maker(keys.path());
    MinisignTool stranger(keys.path());
    QVERIFY(maker.generate() && stranger.generate(u"stranger"_s));

    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    const QByteArray package = UpdateFixture::package("echo yes > installed.txt\n", {"file"});
    fixture.list().respond(200, "v2|s2|/up/v2.md");
    fixture.server->on(u"/up/v2.md"_s).respond(200, package);
    QByteArray signatureFile;
    if (signature == u"prehashed")
        signatureFile = maker.sign(package);
    else if (signature == u"legacy")
        signatureFile = maker.sign(package, true);
    else if (signature == u"other bytes")
        signatureFile = maker.sign(package + "!");
    else if (signature == u"stranger")
        signatureFile = stranger.sign(package);
    if (!signatureFile.isEmpty())
        fixture.server->on(u"/up/v2.md.minisig"_s).respond(200, signatureFile);
    if (key == u"maker")
        QVERIFY(fixture.app->writeFile(u"\\setting\\update.pub", maker.publicKey()));
    else if (key == u"garbage")
        QVERIFY(fixture.app->writeFile(u"\\setting\\update.pub", "untrusted comment: x\nnot a key\n"));

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(QFile::exists(fixture.app->path(u"\\installed.txt")), installed);
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\v2.md")), installed);
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\1")), installed);
    QCOMPARE(configText(Cfg::vision::vision), installed ? u"v2"_s : QString());
    QVERIFY(leftovers(*fixture.app).isEmpty());
    if (installed)
        QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    else
        QCOMPARE(log.statuses.last(), UpdateText::signatureInvalid());
    QCOMPARE(fixture.server->requestsFor(u"/up/v2.md.minisig"_s).size(), key == u"maker" ? 1 : 0);
    // Only a signature of the right key makes the package worth downloading.
    QCOMPARE(fixture.server->requestsFor(u"/up/v2.md"_s).size(), installed || signature == u"other bytes" ? 1 : 0);
}

void TestUpdateRun::versionThatCannotBeWritten_isReported()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p");
    fixture.server->on(u"/p"_s).respond(200, UpdateFixture::package("echo ok > ok.txt\n"));
    QVERIFY(QFile::setPermissions(fixture.app->path(u"\\setting\\config.ini"), QFile::ReadOwner));

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Failed);
    QCOMPARE(log.statuses.last(), UpdateText::versionNotRecorded());
    QVERIFY(QFile::exists(fixture.app->path(u"\\ok.txt")));
}

void TestUpdateRun::noUpdate_endsWithTheMessage()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    // Nothing scripted: the list request gets a 404, which reads as empty.
    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::NoUpdate);
    QCOMPARE(log.noUpdate, UpdateText::noUpdate());
    QVERIFY(log.statuses.isEmpty());
    QVERIFY(!QFile::exists(fixture.app->path(u"\\update")));
}

QTEST_GUILESS_MAIN(TestUpdateRun)
#include "tst_update_run.moc"
