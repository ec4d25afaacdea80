#include "update_fixture.h"
#include "updater/run_lock.h"
#include "updater/update_run.h"
#include "updater/update_texts.h"

#include <QDir>
#include <QProcess>
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
    QString alreadyRunning;
    std::optional<UpdateRun::Outcome> outcome;

    explicit RunLog(UpdateRun &run)
    {
        QObject::connect(&run, &UpdateRun::statusChanged, [this](const QString &text) { statuses << text; });
        QObject::connect(&run, &UpdateRun::progressChanged, [this](const DownloadProgress &p) { progress << p; });
        QObject::connect(&run, &UpdateRun::packageInstalled,
                         [this](int number, const QString &name) { installed << QString::number(number) + name; });
        QObject::connect(&run, &UpdateRun::noUpdate, [this](const QString &text) { noUpdate = text; });
        QObject::connect(&run, &UpdateRun::alreadyRunning, [this](const QString &text) { alreadyRunning = text; });
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
    return QDir(app.path(u"\\update\\")).entryList({u"*.part"_s}, QDir::Files | QDir::Hidden);
}

// The paths of the requests the server received, in order.
QStringList requested(const FakeHttpServer &server)
{
    QStringList paths;
    for (const FakeRequest &request : server.requests())
        paths << request.path;
    return paths;
}

} // namespace

class TestUpdateRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onePackage_installs();
    void twoPackages_eachScriptEndsBeforeTheNextPiecesAreWritten();
    void packageWithoutMarker_runsNoScript();
    void failures_keepWhatWasInstalled_data();
    void failures_keepWhatWasInstalled();
    void scriptOverTheLimit_isEndedWithItsChildren();
    void signatures_data();
    void signatures();
    void versionThatCannotBeWritten_isReported();
    void noUpdate_endsWithTheMessage();
    void stampsNotNewer_areNeverInstalledAgain_data();
    void stampsNotNewer_areNeverInstalledAgain();
    void stopAfterTheFirstPackage_resumesWithTheSecond();
    void secondRun_isRefusedWhileTheFirstHoldsTheFolder();
    void oversizePackage_isRefusedBeforeItsBody();
    void packageSizeLimit_keepsRoomOnTheDisk_data();
    void packageSizeLimit_keepsRoomOnTheDisk();
};

void TestUpdateRun::onePackage_installs()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(setConfigText(Cfg::vision::update, u"OLD"_s));
    fixture.list(u"OLD"_s).respond(200, "a|b|c");
    const QByteArray package = UpdateFixture::package("pwd > ran.txt\nmv update/1 moved.bin\n", {"NEW FILE"});
    fixture.release({u"a"_s, u"b"_s, u"/c"_s}, package);

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
    // written the second package's pieces over it. The first package's
    // "update/2" must be gone before the second script runs.
    fixture.release({u"a"_s, u"b"_s, u"/p1"_s},
                    UpdateFixture::package("sleep 0.3\ncp update/1 saw1\necho one >> order\n", {"FIRST", "EXTRA"}));
    fixture.release({u"d"_s, u"e"_s, u"/p2"_s},
                    UpdateFixture::package("cp update/1 saw2\ntest -e update/2 && echo leftover >> order\n"
                                           "echo two >> order\n",
                                           {"SECOND"}));
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
    fixture.release({u"a"_s, u"b"_s, u"/p"_s}, "no marker at all");

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    QCOMPARE(fixture.app->readFile(u"\\update\\a.md"), QByteArray("no marker at all"));
    QVERIFY(!QFile::exists(fixture.app->path(u"\\stale.txt")));
    QCOMPARE(configText(Cfg::vision::vision), u"a"_s);
}

void TestUpdateRun::failures_keepWhatWasInstalled_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("signedBody");    // what the signature of /p2 covers
    QTest::addColumn<QList<QByteArray>>("second"); // the reply for /p2
    QTest::addColumn<bool>("closeEarly");
    QTest::addColumn<QString>("status");

    const QByteArray good = UpdateFixture::package("echo ok\n", {"x"});
    const QString twoPackages = u"a|s2|/p1<br>d|s3|/p2"_s;
    QTest::newRow("stall") << twoPackages << good << QList<QByteArray>{header(good.size()) + good.left(5)} << false
                           << UpdateText::networkFailure();
    QTest::newRow("early close") << twoPackages << good << QList<QByteArray>{header(good.size()) + good.left(5)} << true
                                 << UpdateText::networkFailure();
    QTest::newRow("404") << twoPackages << good << QList<QByteArray>{FakeHttpServer::httpResponse(404, good)} << false
                         << UpdateText::networkFailure() + u"（HTTP/1.1 404 Not Found）"_s;
    QTest::newRow("no Content-Length") << twoPackages << good << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n" + good}
                                       << true << UpdateText::networkFailure() + u"（HTTP/1.1 200 OK）"_s;
    QTest::newRow("chunked transfer coding")
        << twoPackages << good
        << QList<QByteArray>{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n"} << false
        << UpdateText::networkFailure() + u"（HTTP/1.1 200 OK）"_s;
    const QByteArray failing = UpdateFixture::package("exit 3\n");
    QTest::newRow("script fails") << twoPackages << failing
                                  << QList<QByteArray>{FakeHttpServer::httpResponse(200, failing)} << false
                                  << UpdateText::installFailed();
    QTest::newRow("name that leaves the folder")
        << u"a|s2|/p1<br>../d|s3|/p2"_s << good << QList<QByteArray>{} << false << UpdateText::listRefused();
}

void TestUpdateRun::failures_keepWhatWasInstalled()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, signedBody);
    QFETCH(QList<QByteArray>, second);
    QFETCH(bool, closeEarly);
    QFETCH(QString, status);
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(setConfigText(Cfg::vision::vision, u"v1"_s));
    QVERIFY(setConfigText(Cfg::vision::update, u"s1"_s));
    fixture.list(u"s1"_s).respond(200, list.toUtf8());
    fixture.release({u"a"_s, u"s2"_s, u"/p1"_s}, UpdateFixture::package("echo first > first.txt\n"));
    fixture.signFor({u"d"_s, u"s3"_s, u"/p2"_s}, signedBody);
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
    // A download cut short never leaves a package that looks whole.
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\d.md")), status == UpdateText::installFailed());
    QVERIFY(leftovers(*fixture.app).isEmpty());
    if (status == UpdateText::listRefused()) {
        QCOMPARE(fixture.server->requests().size(), 1); // only the list
        QVERIFY(!QFile::exists(fixture.app->path(u"\\first.txt")));
        QCOMPARE(configText(Cfg::vision::vision), u"v1"_s);
        QCOMPARE(configText(Cfg::vision::update), u"s1"_s);
    } else {
        // The first package stays installed, and recorded: the next run
        // does not install it again.
        QCOMPARE(log.installed, QStringList{u"1a"_s});
        QVERIFY(QFile::exists(fixture.app->path(u"\\first.txt")));
        QCOMPARE(configText(Cfg::vision::vision), u"a"_s);
        QCOMPARE(configText(Cfg::vision::update), u"s2"_s);
    }
}

void TestUpdateRun::scriptOverTheLimit_isEndedWithItsChildren()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p");
    fixture.release({u"a"_s, u"b"_s, u"/p"_s}, UpdateFixture::package("sleep 60 &\necho $! > child.pid\nwait\n"));

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
    QTest::addColumn<QString>("status");    // the last status; empty: installed
    QTest::addColumn<bool>("packageFetched");

    const QString refused = UpdateText::signatureInvalid();
    QTest::newRow("prehashed, good") << u"prehashed"_s << u"maker"_s << QString() << true;
    QTest::newRow("legacy, good") << u"legacy"_s << u"maker"_s << QString() << true;
    QTest::newRow("signed other bytes") << u"other bytes"_s << u"maker"_s << refused << true;
    QTest::newRow("signed with another key") << u"stranger"_s << u"maker"_s << refused << false;
    QTest::newRow("no signature on the server") << u"none"_s << u"maker"_s << refused << false;
    // Signatures of the very package, but not for this entry of the list.
    QTest::newRow("the tool's own trusted comment") << u"tool comment"_s << u"maker"_s << refused << false;
    QTest::newRow("signed for another name") << u"other name"_s << u"maker"_s << refused << false;
    QTest::newRow("signed for another stamp") << u"other stamp"_s << u"maker"_s << refused << false;
    QTest::newRow("key file unreadable") << u"prehashed"_s << u"garbage"_s << refused << false;
    QTest::newRow("no key: nothing installed") << u"prehashed"_s << u"none"_s << UpdateText::noKey() << false;
}

void TestUpdateRun::signatures()
{
    QFETCH(QString, signature);
    QFETCH(QString, key);
    QFETCH(QString, status);
    QFETCH(bool, packageFetched);
    QTemporaryDir keys;
    MinisignTool stranger(keys.path());
    QVERIFY(stranger.generate(u"stranger"_s));

    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    MinisignTool &maker = *UpdateFixture::maker();
    const QByteArray package = UpdateFixture::package("echo yes > installed.txt\n", {"file"});
    fixture.list().respond(200, "v2|s2|/up/v2.md");
    fixture.server->on(u"/up/v2.md"_s).respond(200, package);
    auto comment = [](const QString &name, const QString &stamp) {
        return QString::fromUtf8(Package::trustedComment(name, stamp));
    };
    const QString entry = comment(u"v2"_s, u"s2"_s);
    QByteArray signatureFile;
    if (signature == u"prehashed")
        signatureFile = maker.sign(package, false, entry);
    else if (signature == u"legacy")
        signatureFile = maker.sign(package, true, entry);
    else if (signature == u"other bytes")
        signatureFile = maker.sign(package + "!", false, entry);
    else if (signature == u"stranger")
        signatureFile = stranger.sign(package, false, entry);
    else if (signature == u"tool comment")
        signatureFile = maker.sign(package, false, QString());
    else if (signature == u"other name")
        signatureFile = maker.sign(package, false, comment(u"v1"_s, u"s2"_s));
    else if (signature == u"other stamp")
        signatureFile = maker.sign(package, false, comment(u"v2"_s, u"s1"_s));
    if (!signatureFile.isEmpty())
        fixture.server->on(u"/up/v2.md.minisig"_s).respond(200, signatureFile);
    if (key == u"garbage")
        QVERIFY(fixture.app->writeFile(u"\\setting\\update.pub", "untrusted comment: x\nnot a key\n"));
    else if (key == u"none")
        QVERIFY(QFile::remove(fixture.app->path(u"\\setting\\update.pub")));

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    const bool installed = status.isEmpty();
    QCOMPARE(log.outcome, installed ? UpdateRun::Outcome::Installed : UpdateRun::Outcome::Failed);
    if (!installed)
        QCOMPARE(log.statuses.last(), status);
    QCOMPARE(QFile::exists(fixture.app->path(u"\\installed.txt")), installed);
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\v2.md")), installed);
    QCOMPARE(QFile::exists(fixture.app->path(u"\\update\\1")), installed);
    QCOMPARE(configText(Cfg::vision::vision), installed ? u"v2"_s : QString());
    QVERIFY(leftovers(*fixture.app).isEmpty());
    QCOMPARE(fixture.server->requestsFor(u"/up/v2.md.minisig"_s).size(), key == u"maker" ? 1 : 0);
    // Only a signature that can be the listed package's makes the package
    // worth downloading.
    QCOMPARE(fixture.server->requestsFor(u"/up/v2.md"_s).size(), packageFetched ? 1 : 0);
    // Without a key nothing is asked past the list, and nothing is written.
    if (key != u"maker")
        QVERIFY(!QFile::exists(fixture.app->path(u"\\update")));
}

void TestUpdateRun::versionThatCannotBeWritten_isReported()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p<br>c|d|/q");
    fixture.release({u"a"_s, u"b"_s, u"/p"_s}, UpdateFixture::package("echo ok > ok.txt\n"));
    QVERIFY(QFile::setPermissions(fixture.app->path(u"\\setting\\config.ini"), QFile::ReadOwner));

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Failed);
    QCOMPARE(log.statuses.last(), UpdateText::versionNotRecorded());
    QVERIFY(QFile::exists(fixture.app->path(u"\\ok.txt")));
    // A package that cannot be recorded would be installed again: the run
    // goes no further.
    QCOMPARE(fixture.server->requestsFor(u"/q.minisig"_s).size(), 0);
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

void TestUpdateRun::stampsNotNewer_areNeverInstalledAgain_data()
{
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("installed"); // names, in order

    QTest::newRow("the recorded stamp") << u"20250301"_s << "a|20250301|/a.md"_ba << QStringList();
    QTest::newRow("an older stamp") << u"20250301"_s << "a|20250101|/a.md"_ba << QStringList();
    QTest::newRow("digits compare as numbers") << u"99"_s << "a|100|/a.md"_ba << QStringList{u"a"_s};
    QTest::newRow("others compare as bytes")
        << u"2025.03-b"_s << "a|2025.03-a|/a.md<br>b|2025.03-c|/b.md"_ba << QStringList{u"b"_s};
    // A list that offers an older package after a newer one would put the
    // older back and then offer the newer again at every run.
    QTest::newRow("older after newer in the list")
        << u"5"_s << "a|7|/a.md<br>b|6|/b.md<br>c|8|/c.md"_ba << QStringList{u"a"_s, u"c"_s};
    QTest::newRow("nothing recorded: every stamp is newer") << QString() << "a|1|/a.md"_ba << QStringList{u"a"_s};
}

void TestUpdateRun::stampsNotNewer_areNeverInstalledAgain()
{
    QFETCH(QString, recorded);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, installed);
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(setConfigText(Cfg::vision::update, recorded));
    fixture.list(recorded).respond(200, list);
    const UpdateList entries = parseUpdateList(QString::fromUtf8(list));
    for (const UpdatePackage &entry : entries.packages)
        fixture.release(entry, UpdateFixture::package("echo " + entry.name.toUtf8() + " >> ran.txt\n"));

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QByteArray ran;
    QStringList fetched;
    for (const QString &name : installed) {
        ran += name.toUtf8() + '\n';
        fetched << u"/"_s + name + u".md.minisig"_s << u"/"_s + name + u".md"_s;
    }
    QCOMPARE(fixture.app->readFile(u"\\ran.txt"), ran);
    QCOMPARE(requested(*fixture.server).mid(1), fetched);
    if (installed.isEmpty()) {
        QCOMPARE(log.outcome, UpdateRun::Outcome::NoUpdate);
        QCOMPARE(log.noUpdate, UpdateText::noUpdate());
        QCOMPARE(configText(Cfg::vision::update), recorded);
    } else {
        QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
        QCOMPARE(configText(Cfg::vision::vision), installed.last());
    }
}

void TestUpdateRun::stopAfterTheFirstPackage_resumesWithTheSecond()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    // The server offers both packages whatever stamp is asked with.
    const QByteArray list = "a|1|/a.md<br>b|2|/b.md";
    fixture.list().respond(200, list);
    fixture.list(u"1"_s).respond(200, list);
    fixture.release({u"a"_s, u"1"_s, u"/a.md"_s}, UpdateFixture::package("echo a >> ran.txt\n", {"A1", "A2"}));
    const QByteArray second =
        UpdateFixture::package("test -e update/2 && echo leftover >> ran.txt\necho b >> ran.txt\n", {"B1"});
    fixture.signFor({u"b"_s, u"2"_s, u"/b.md"_s}, second);
    // The first run stops while the second package downloads.
    fixture.server->on(u"/b.md"_s).chunks({header(second.size()) + second.left(3)});

    auto stopped = std::make_unique<UpdateRun>();
    RunLog first(*stopped);
    stopped->start();
    QVERIFY(QTest::qWaitFor([&] { return fixture.server->requestsFor(u"/b.md"_s).size() == 1; }, 20000));
    QCOMPARE(first.installed, QStringList{u"1a"_s});
    stopped.reset();
    // What a killed run leaves: files still arriving.
    QVERIFY(fixture.app->writeFile(u"\\update\\b.md.AbCd12.part", "half a package"));
    QVERIFY(fixture.app->writeFile(u"\\update\\b.md.1.Ef34Gh.part", "half a piece"));
    QCOMPARE(configText(Cfg::vision::update), u"1"_s);

    fixture.server->on(u"/b.md"_s).respond(200, second);
    UpdateRun again;
    RunLog log(again);
    again.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Installed);
    QCOMPARE(log.installed, QStringList{u"1b"_s});
    // The first script ran once in all, and the second found only its own
    // pieces.
    QCOMPARE(fixture.app->readFile(u"\\ran.txt"), QByteArray("a\nb\n"));
    QCOMPARE(configText(Cfg::vision::vision), u"b"_s);
    QCOMPARE(configText(Cfg::vision::update), u"2"_s);
    QVERIFY(leftovers(*fixture.app).isEmpty());
}

void TestUpdateRun::secondRun_isRefusedWhileTheFirstHoldsTheFolder()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().silent();
    auto runOnce = [] {
        UpdateRun run;
        RunLog log(run);
        run.start();
        return log.wait() ? log.outcome : std::nullopt;
    };
    {
        // A run waiting for its list holds the folder.
        UpdateRun first;
        first.start();
        QVERIFY(fixture.server->waitForRequests(1));
        UpdateRun second;
        RunLog log(second);
        second.start();
        QVERIFY(log.wait());
        QCOMPARE(log.outcome, UpdateRun::Outcome::AlreadyRunning);
        QCOMPARE(log.alreadyRunning, UpdateText::alreadyRunning());
        QVERIFY(log.statuses.isEmpty());
        QCOMPARE(fixture.server->requests().size(), 1);
    }

    // Another process holds it until it is killed, however it ends.
    fixture.list().respond(200, "");
    QProcess holder;
    holder.start(u"/bin/sh"_s, {u"-c"_s, u"exec 9<\"$0\" && flock -n 9 && echo held && exec sleep 60"_s,
                                fixture.app->folder().root()});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(runOnce(), UpdateRun::Outcome::AlreadyRunning);
    holder.kill();
    QVERIFY(holder.waitForFinished());
    QCOMPARE(runOnce(), UpdateRun::Outcome::NoUpdate);
}

void TestUpdateRun::oversizePackage_isRefusedBeforeItsBody()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "a|b|/p");
    const qint64 announced = (qint64(4) << 30) + 1;
    fixture.signFor({u"a"_s, u"b"_s, u"/p"_s}, "anything");
    fixture.server->on(u"/p"_s).chunks({header(announced) + QByteArray(4096, 'x')});

    UpdateRun run;
    RunLog log(run);
    run.start();
    QVERIFY(log.wait());
    QCOMPARE(log.outcome, UpdateRun::Outcome::Failed);
    QCOMPARE(log.statuses.last(), UpdateText::packageTooLarge(u"HTTP/1.1 200 OK"_s, announced));
    QVERIFY(leftovers(*fixture.app).isEmpty());
    QVERIFY(!QFile::exists(fixture.app->path(u"\\update\\a.md")));
}

void TestUpdateRun::packageSizeLimit_keepsRoomOnTheDisk_data()
{
    QTest::addColumn<qint64>("free");
    QTest::addColumn<qint64>("limit");
    const qint64 MiB = 1024 * 1024;
    QTest::newRow("a large disk: 4 GiB") << 100 * 1024 * MiB << 4096 * MiB;
    QTest::newRow("free space unknown: 4 GiB") << qint64(-1) << 4096 * MiB;
    QTest::newRow("a small disk: its free space less 64 MiB") << 1024 * MiB << 960 * MiB;
    QTest::newRow("a nearly full disk takes nothing") << 10 * MiB << -54 * MiB;
}

void TestUpdateRun::packageSizeLimit_keepsRoomOnTheDisk()
{
    QFETCH(qint64, free);
    QFETCH(qint64, limit);
    QCOMPARE(packageSizeLimit(free), limit);
}

QTEST_GUILESS_MAIN(TestUpdateRun)
#include "tst_update_run.moc"
