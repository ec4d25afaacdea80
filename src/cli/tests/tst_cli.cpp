#include "cli_runner.h"
#include "settings/config_keys.h"
#include "testsupport/temp_app_folder.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// The key the commands below read and write, named as on the command line.
constexpr const ConfigKey &Sign = Cfg::Format::Sign;

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void configSet_writesGbkAndGetReadsItBack();
    void configGet_missingKeyPrintsEmptyLine();
    void configSet_valueBeginningWithDash();
    void configSet_readOnlySettings_fails();
    void configSet_twoProgramsAtOnce_loseNoWrite();
    void configSet_folderWithoutRoomForATemporaryFile_fails();
    void configList_freshFile_printsEveryKeyInOrder();
    void configList_printsValuesAsTheProgramsReadThem();
    void usageErrors_data();
    void usageErrors();
    void help_listsCommands();
};

void TestCli::configSet_writesGbkAndGetReadsItBack()
{
    TempAppFolder app;
    const CliRun set =
        runCli(app.folder().root(), {u"config"_s, u"set"_s, Sign.sectionName(), Sign.keyName(), u"中文签名"_s});
    QCOMPARE(set.exitCode, 0);
    QVERIFY(app.readFile(u"\\setting\\config.ini").contains("\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB"));

    const CliRun get = runCli(app.folder().root(), {u"config"_s, u"get"_s, Sign.sectionName(), Sign.keyName()});
    QCOMPARE(get.exitCode, 0);
    QCOMPARE(QString::fromUtf8(get.out), u"中文签名\n"_s);

    const CliRun gbk =
        runCli(app.folder().root(), {u"--gbk"_s, u"config"_s, u"get"_s, Sign.sectionName(), Sign.keyName()});
    QCOMPARE(gbk.out, QByteArray("\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB\n"));
}

void TestCli::configGet_missingKeyPrintsEmptyLine()
{
    TempAppFolder app;
    const CliRun get = runCli(app.folder().root(), {u"config"_s, u"get"_s, u"Nope"_s, u"Nope"_s});
    QCOMPARE(get.exitCode, 0);
    QCOMPARE(get.out, QByteArray("\n"));
}

// Everything after config's first argument is an argument, a value such as
// -7 included.
void TestCli::configSet_valueBeginningWithDash()
{
    TempAppFolder app;
    const ConfigKey &key = Cfg::ResizePic::MaxHeight;
    QCOMPARE(runCli(app.folder().root(), {u"config"_s, u"set"_s, key.sectionName(), key.keyName(), u"-7"_s}).exitCode,
             0);
    QCOMPARE(runCli(app.folder().root(), {u"config"_s, u"get"_s, key.sectionName(), key.keyName()}).out,
             QByteArray("-7\n"));
}

void TestCli::configSet_readOnlySettings_fails()
{
    TempAppFolder app;
    QVERIFY(QFile::setPermissions(app.path(u"\\setting\\config.ini"), QFile::ReadOwner));
    const CliRun set = runCli(app.folder().root(), {u"config"_s, u"set"_s, Sign.sectionName(), Sign.keyName(), u"x"_s});
    QCOMPARE(set.exitCode, 1);
    QVERIFY(set.err.contains("cannot write"));
}

void TestCli::configSet_twoProgramsAtOnce_loseNoWrite()
{
    // Two programs, each writing 200 keys of its own one after the other, at
    // the same time: every write reads the file and writes it back whole, so
    // without taking turns each would write over the other's keys.
    TempAppFolder app;
    const int writes = 200;
    QList<QProcess *> writers;
    for (const QString &name : {u"A"_s, u"B"_s}) {
        auto *writer = new QProcess(this);
        writer->start(u"/bin/sh"_s, {u"-c"_s,
                                     u"for i in $(seq 1 %1); do \"$0\" --app-dir \"$1\" config set Race "
                                     u"%2$i %2-$i || exit 1; done"_s.arg(writes)
                                         .arg(name),
                                     QString::fromUtf8(ZORVANE_CLI), app.folder().root()});
        writers.append(writer);
    }
    for (QProcess *writer : std::as_const(writers)) {
        QVERIFY(writer->waitForFinished(240000));
        QCOMPARE(writer->exitCode(), 0);
    }
    const QByteArray file = app.readFile(u"\\setting\\config.ini");
    int found = 0;
    for (const char *name : {"A", "B"}) {
        for (int i = 1; i <= writes; ++i)
            found += file.contains(QByteArray(QByteArray(name) + QByteArray::number(i) + '=' + name + '-'
                                              + QByteArray::number(i) + "\r\n"));
    }
    QCOMPARE(found, 2 * writes);
    QVERIFY(!QFile::exists(app.path(u"\\setting\\config.ini.lock")));
    qDeleteAll(writers);
}

void TestCli::configSet_folderWithoutRoomForATemporaryFile_fails()
{
    // The settings file may be written, its folder may not: a write in place
    // could be cut off half way, so the write fails and says so. Root writes
    // anywhere, so as root the program runs as nobody, who owns the file.
    TempAppFolder app;
    const QString folder = app.path(u"\\setting");
    const QString file = app.path(u"\\setting\\config.ini");
    const QByteArray before = app.readFile(u"\\setting\\config.ini");
    QStringList command = {QString::fromUtf8(ZORVANE_CLI),
                           u"--app-dir"_s,
                           app.folder().root(),
                           u"config"_s,
                           u"set"_s,
                           Sign.sectionName(),
                           Sign.keyName(),
                           u"x"_s};
    if (geteuid() == 0) {
        QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        QVERIFY(::chown(QFile::encodeName(file).constData(), 65534, 65534) == 0);
        // The test's own folders must let nobody through to the program.
        for (QString up = QFileInfo(app.folder().root()).absoluteFilePath(); up != u"/"_s;
             up = QFileInfo(up).absolutePath())
            QFile::setPermissions(up, QFile::permissions(up) | QFile::ExeOther | QFile::ReadOther);
        command = QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s} + command;
        command.prepend(u"setpriv"_s);
    }
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    QProcess set;
    set.start(command.takeFirst(), command);
    QVERIFY(set.waitForFinished(60000));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(set.exitCode(), 1);
    QVERIFY(set.readAllStandardError().contains("cannot write"));
    QCOMPARE(app.readFile(u"\\setting\\config.ini"), before);
}

void TestCli::configList_freshFile_printsEveryKeyInOrder()
{
    TempAppFolder app;
    const QByteArray before = app.readFile(u"\\setting\\config.ini");
    const CliRun list = runCli(app.folder().root(), {u"config"_s, u"list"_s});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out, QByteArray("Format.ExtBr=0\n"
                                  "Format.HeadSpace=0\n"
                                  "Format.SpaceNum=0\n"
                                  "Format.SpaceStr=0\n"
                                  "Format.Full=0\n"
                                  "Format.Point=0\n"
                                  "Format.CheckWords=0\n"
                                  "Format.CheckWordsType=0\n"
                                  "Format.RemoveLink=0\n"
                                  "Format.SaveWords=0\n"
                                  "Format.ExtSpace=0\n"
                                  "Format.AutoSign=0\n"
                                  "Format.Start=0\n"
                                  "Format.End=0\n"
                                  "Format.Sign=\n"
                                  "YC.Keyword=0\n"
                                  "YC.KeywordStrong=0\n"
                                  "YC.KeywordStr=\n"
                                  "YC.LinkUrl=\n"
                                  "YC.LinkType=0\n"
                                  "YC.ShowHelp=0\n"
                                  "ResizePic.Resize=0\n"
                                  "ResizePic.MaxHeight=0\n"
                                  "ResizePic.MaxWidth=0\n"
                                  "ResizePic.Small=0\n"
                                  "ResizePic.Strong=0\n"
                                  "Default.Form=0\n"
                                  "Default.ShowHelp=0\n"
                                  "Form.ShowDefault=\n"
                                  "Form.ShowDefaultYC=\n"
                                  "login.AutoLogin=0\n"
                                  "login.RemberPassword=0\n"
                                  "vision.vision=\n"
                                  "vision.update=\n"
                                  "vision.ErrorWord=2026.12.08\n"
                                  "vision.ErrorWordNums=2862\n"
                                  "vision.SameWord=2026.12.08\n"
                                  "vision.SameWordNums=403\n"
                                  "Format.ArticleOnly=0\n"
                                  "Format.SensitiveLoose=0\n"
                                  "Format.CjkSpace=0\n"
                                  "YC.WholeWords=1\n"));
    QCOMPARE(app.readFile(u"\\setting\\config.ini"), before);
}

void TestCli::configList_printsValuesAsTheProgramsReadThem()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nSpaceNum=abc\nHeadSpace= 1 \nExtBr=2\nSign=  中文签名 \n"
                              u"[ResizePic]\nMaxWidth=600.9\nMaxHeight=-7\n[vision]\nupdate=2026-12-01\n"_s));
    const CliRun list = runCli(app.folder().root(), {u"config"_s, u"list"_s});
    QCOMPARE(list.exitCode, 0);
    const QStringList lines = QString::fromUtf8(list.out).split(u'\n');
    QCOMPARE(lines.size(), 43); // 38 keys, the project's own four, and the empty rest after the last line end
    for (const QString &expected :
         {u"Format.SpaceNum=0"_s, u"Format.HeadSpace=1"_s, u"Format.ExtBr=2"_s, u"Format.Sign=中文签名"_s,
          u"ResizePic.MaxWidth=600"_s, u"ResizePic.MaxHeight=-7"_s, u"vision.update=2026-12-01"_s})
        QVERIFY2(lines.contains(expected), qPrintable(expected));

    const CliRun gbk = runCli(app.folder().root(), {u"--gbk"_s, u"config"_s, u"list"_s});
    QVERIFY(gbk.out.contains("Format.Sign=\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB\n"));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no command") << QStringList() << 2;
    QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 2;
    QTest::newRow("config without arguments") << QStringList{u"config"_s} << 2;
    QTest::newRow("config get missing key") << QStringList{u"config"_s, u"get"_s, Sign.sectionName()} << 2;
    QTest::newRow("config list with an argument") << QStringList{u"config"_s, u"list"_s, Sign.sectionName()} << 2;
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << 2;
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
