#include "cli_runner.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

// The check commands of zorvane-cli against libraries in a temporary
// application folder.
class TestCliChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typos_marksByDefaultAndReplacesOnRequest();
    void typos_readsFileArgument();
    void checks_missingLibrary_fails_data();
    void checks_missingLibrary_fails();
    void punct_followsCheckWordsType();
    void sensitive_countsLinesNotOccurrences();
    void count_printsSourceAndTextCaption();
};

namespace {

QString appRoot(const TempAppFolder &app)
{
    return app.folder().root();
}

} // namespace

void TestCliChecks::typos_marksByDefaultAndReplacesOnRequest()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\error.dat", toGbk(u"的的|的\r\n按装|安装\r\n"_s)));
    const QByteArray input = u"<p title=\"按装\">我的的书</p>"_s.toUtf8();

    const CliRun marked = runCli(appRoot(app), {u"typos"_s}, input);
    QCOMPARE(marked.exitCode, 0);
    QCOMPARE(QString::fromUtf8(marked.out),
             u"<p title=\"<font color=red>按装</font>\">我<font color=red>的的</font>书</p>"_s);
    QCOMPARE(marked.err, QByteArray("count=2\n"));

    const CliRun replaced = runCli(appRoot(app), {u"typos"_s, u"--replace"_s}, input);
    QCOMPARE(replaced.exitCode, 0);
    QCOMPARE(QString::fromUtf8(replaced.out), u"<p title=\"安装\">我的书</p>"_s);
    QCOMPARE(replaced.err, QByteArray("count=2\n"));
}

void TestCliChecks::typos_readsFileArgument()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\error.dat", toGbk(u"渡假|度假"_s)));
    QVERIFY(app.writeFile(u"\\data\\article.html", toGbk(u"去渡假"_s)));
    const CliRun run =
        runCli(appRoot(app), {u"--gbk"_s, u"typos"_s, u"--replace"_s, app.path(u"\\data\\article.html")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, toGbk(u"去度假"_s));
    QCOMPARE(run.err, QByteArray("count=1\n"));
}

void TestCliChecks::checks_missingLibrary_fails_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("systemPath");
    QTest::newRow("typos") << u"typos"_s << u"\\data\\error.dat"_s;
    QTest::newRow("sensitive") << u"sensitive"_s << u"\\data\\hexie.dat"_s;
}

void TestCliChecks::checks_missingLibrary_fails()
{
    QFETCH(QString, command);
    QFETCH(QString, systemPath);
    TempAppFolder app;
    QVERIFY(QFile::remove(app.path(systemPath)));
    const CliRun run = runCli(appRoot(app), {command}, "text");
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("missing or empty"));
    QVERIFY(run.out.isEmpty());
}

void TestCliChecks::punct_followsCheckWordsType()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\r\nCheckWordsType=1"_s));
    CliRun run = runCli(appRoot(app), {u"punct"_s}, "a,b");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("a<font color=red>,</font>b"));

    QVERIFY(app.writeSettings(u"[Format]\r\nCheckWordsType=2"_s));
    run = runCli(appRoot(app), {u"punct"_s}, "a,b.");
    QCOMPARE(QString::fromUtf8(run.out), u"a，b。"_s);
}

void TestCliChecks::sensitive_countsLinesNotOccurrences()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", toGbk(u"赌博\r\n六合彩\r\n枪支\r\n"_s)));
    const CliRun run = runCli(appRoot(app), {u"sensitive"_s}, u"赌博，赌博，六合彩"_s.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             u"<font color=red>赌博</font>，<font color=red>赌博</font>，<font color=red>六合彩</font>"_s);
    QCOMPARE(run.err, QByteArray("count=2\n"));
}

void TestCliChecks::count_printsSourceAndTextCaption()
{
    TempAppFolder app;
    const CliRun run = runCli(appRoot(app), {u"count"_s}, "<p>a&nbsp;b</p>\r\n<p>c</p>");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), u"25个[源码] 9个[文本]\n"_s);

    const CliRun usage = runCli(appRoot(app), {u"count"_s, u"a"_s, u"b"_s});
    QCOMPARE(usage.exitCode, 2);
}

QTEST_GUILESS_MAIN(TestCliChecks)
#include "tst_cli_checks.moc"
