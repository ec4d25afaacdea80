#include "cli_runner.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include "settings/config_keys.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

CliRun serviceCheck(const TempAppFolder &folder)
{
    return runCliServing(folder.folder().root(), {u"service"_s, u"check"_s}, {}, 30000);
}

} // namespace

class TestCliService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void check_printsEveryReplyAndStoresTheLibraries();
    void check_unreachableServer_isNoError();
    void check_libraryThatCannotBeStored_fails();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestCliService::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->serve(Cfg::Servers::Service));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 5));
}

void TestCliService::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

void TestCliService::check_printsEveryReplyAndStoresTheLibraries()
{
    QVERIFY(setConfigText(Cfg::vision::SameWord, u"s1"_s));
    m_server->on(u"/index.php?m=show&action=upnew&time="_s).respond(200, "a|b|c");
    m_server->on(u"/index.php?m=show&action=notice"_s).respond(200, FakeHttpServer::gbk(u"通知|u1<br><br>C|u3"_s));
    m_server->on(u"/index.php?m=show&action=errorwords"_s).respond(200, "v2");
    m_server->on(u"/data/errorwords.txt"_s).respond(200, "a|b\r\nc|d\r\ne|f");
    m_server->on(u"/index.php?m=show&action=samewords"_s).respond(200, "s1");
    // An updater that must not be started.
    QVERIFY(m_folder->writeFile(u"\\Patchwell", "#!/bin/sh\ntouch \"$0.ran\"\n"));
    QVERIFY(QFile::setPermissions(m_folder->path(u"\\Patchwell"), QFile::ReadOwner | QFile::ExeOwner));

    const CliRun run = serviceCheck(*m_folder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outText(), u"update=a|b|c\n"
                            u"notice=通知|u1\n"
                            u"notice=|\n"
                            u"notice=C|u3\n"
                            u"errorwords=updated 2\n"
                            u"samewords=unchanged\n"_s);
    QCOMPARE(m_folder->readFile(u"\\data\\error.dat"), QByteArray("a|b\r\nc|d\r\ne|f\r\n"));
    QCOMPARE(configText(Cfg::vision::ErrorWord), u"v2"_s);
    QCOMPARE(configInt(Cfg::vision::ErrorWordNums), 2);
    QCOMPARE(m_server->requestsFor(u"/data/samewords.txt"_s).size(), 0);
    QVERIFY(!QFile::exists(m_folder->path(u"\\Patchwell.ran")));
}

void TestCliService::check_unreachableServer_isNoError()
{
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    const QByteArray settings = m_folder->readFile(u"\\setting\\config.ini");
    const CliRun run = serviceCheck(*m_folder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outText(), u"update=\n"
                            u"notice=当前没有网络连接。|\n"
                            u"errorwords=unchanged\n"
                            u"samewords=unchanged\n"_s);
    QCOMPARE(m_folder->readFile(u"\\setting\\config.ini"), settings);
}

void TestCliService::check_libraryThatCannotBeStored_fails()
{
    m_server->on(u"/index.php?m=show&action=samewords"_s).respond(200, "s2");
    m_server->on(u"/data/samewords.txt"_s).respond(200, "x|y");
    QVERIFY(QFile::setPermissions(m_folder->path(u"\\data\\same.dat"), QFile::ReadOwner));
    const CliRun run = serviceCheck(*m_folder);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.outText().endsWith(u"samewords=failed\n"_s));
    QVERIFY(run.err.contains("cannot write"));
    QVERIFY(run.err.contains("same.dat"));
}

QTEST_GUILESS_MAIN(TestCliService)
#include "tst_cli_service.moc"
