#include "cli_runner.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void configSet_writesGbkAndGetReadsItBack();
    void configGet_missingKeyPrintsEmptyLine();
    void configSet_readOnlySettings_fails();
    void usageErrors_data();
    void usageErrors();
    void help_listsCommands();
};

void TestCli::configSet_writesGbkAndGetReadsItBack()
{
    TempAppFolder app;
    const CliRun set = runCli(app.folder().root(), {u"config"_s, u"set"_s, u"Format"_s, u"Sign"_s, u"中文签名"_s});
    QCOMPARE(set.exitCode, 0);
    QVERIFY(app.readFile(u"\\setting\\config.ini").contains("\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB"));

    const CliRun get = runCli(app.folder().root(), {u"config"_s, u"get"_s, u"Format"_s, u"Sign"_s});
    QCOMPARE(get.exitCode, 0);
    QCOMPARE(QString::fromUtf8(get.out), u"中文签名\n"_s);

    const CliRun gbk = runCli(app.folder().root(), {u"--gbk"_s, u"config"_s, u"get"_s, u"Format"_s, u"Sign"_s});
    QCOMPARE(gbk.out, QByteArray("\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB\n"));
}

void TestCli::configGet_missingKeyPrintsEmptyLine()
{
    TempAppFolder app;
    const CliRun get = runCli(app.folder().root(), {u"config"_s, u"get"_s, u"Nope"_s, u"Nope"_s});
    QCOMPARE(get.exitCode, 0);
    QCOMPARE(get.out, QByteArray("\n"));
}

void TestCli::configSet_readOnlySettings_fails()
{
    TempAppFolder app;
    QVERIFY(QFile::setPermissions(app.path(u"\\setting\\config.ini"), QFile::ReadOwner));
    const CliRun set = runCli(app.folder().root(), {u"config"_s, u"set"_s, u"Format"_s, u"Sign"_s, u"x"_s});
    QCOMPARE(set.exitCode, 1);
    QVERIFY(set.err.contains("cannot write"));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no command") << QStringList() << 2;
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 2;
    QTest::newRow("config without arguments") << QStringList{u"config"_s} << 2;
    QTest::newRow("config get missing key") << QStringList{u"config"_s, u"get"_s, u"Format"_s} << 2;
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << 1;
    QTest::newRow("missing application folder") << QStringList{u"--app-dir"_s, u"/nonexistent/zz"_s, u"config"_s} << 1;
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    const CliRun run = runCli(QString(), args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(run.out.isEmpty());
}

void TestCli::help_listsCommands()
{
    const CliRun help = runCli(QString(), {u"--help"_s});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("config"));
    const CliRun commandHelp = runCli(QString(), {u"config"_s, u"--help"_s});
    QCOMPARE(commandHelp.exitCode, 0);
    QVERIFY(commandHelp.out.startsWith("usage: zorvane-cli config"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
