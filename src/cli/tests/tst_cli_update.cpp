#include "cli_runner.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/temp_app_folder.h"
#include "updater/package_format.h"
#include "updater/run_lock.h"
#include "updater/update_texts.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCliUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void update_data();
    void update();
};

void TestCliUpdate::update_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("package"); // the reply for /p
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<bool>("locked"); // another run holds the folder

    const QByteArray package = *Package::joinPackage("echo done > done.txt\n", {});
    QTest::newRow("installed") << "v2|s2|/p"_ba << FakeHttpServer::httpResponse(200, package) << 0
                               << QStringList{UpdateText::updatesFound(1), UpdateText::downloading(1, u"v2"_s, 1),
                                              UpdateText::installing(u"v2"_s), UpdateText::succeeded()}
                               << false;
    QTest::newRow("none pending") << QByteArray() << QByteArray() << 0 << QStringList{UpdateText::noUpdate()} << false;
    QTest::newRow("package missing") << "v2|s2|/p"_ba << FakeHttpServer::httpResponse(404, "") << 1
                                     << QStringList{UpdateText::updatesFound(1), UpdateText::downloading(1, u"v2"_s, 1),
                                                    UpdateText::networkFailure() + u"（HTTP/1.1 404 Not Found）"_s}
                                     << false;
    QTest::newRow("another run holds the folder") << "v2|s2|/p"_ba << FakeHttpServer::httpResponse(200, package) << 1
                                                  << QStringList{UpdateText::alreadyRunning()} << true;
}

void TestCliUpdate::update()
{
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, package);
    QFETCH(int, exitCode);
    QFETCH(QStringList, statuses);
    QFETCH(bool, locked);
    TempAppFolder app;
    FakeHttpServer server;
    QVERIFY(server.serve(Cfg::Servers::Service));
    server.on(u"/index.php?m=show&action=upnew&time="_s).respond(200, list);
    server.on(u"/p"_s).reply(package);
    QTemporaryDir keys;
    MinisignTool maker(keys.path());
    QVERIFY(maker.generate() && app.writeFile(u"\\setting\\update.pub", maker.publicKey()));
    const QByteArray body = package.mid(package.indexOf("\r\n\r\n") + 4);
    server.on(u"/p.minisig"_s)
        .respond(200, maker.sign(body, false, QString::fromUtf8(Package::trustedComment(u"v2"_s, u"s2"_s))));
    RunLock other;
    if (locked)
        QCOMPARE(other.tryLock(app.folder().root()), RunLock::Result::Locked);

    const CliRun run = runCliServing(app.folder().root(), {u"update"_s}, {}, 30000);
    QCOMPARE(run.exitCode, exitCode);
    // Each status on a line of its own, in order; a failure adds its cause.
    const QStringList lines = run.errText().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.mid(0, statuses.size()), statuses);
    QCOMPARE(lines.size(), statuses.size() + (exitCode == 0 || locked ? 0 : 1));
    QCOMPARE(app.readFile(u"\\done.txt") == "done\n", exitCode == 0 && !list.isEmpty());
    QCOMPARE(configText(Cfg::vision::update), exitCode == 0 && !list.isEmpty() ? u"s2"_s : QString());
}

QTEST_GUILESS_MAIN(TestCliUpdate)
#include "tst_cli_update.moc"
