#include "cli_runner.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QJsonDocument>
#include <QJsonObject>
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
    void sensitive_looseOnRequestOrBySetting();
    void space_oneBlankOrNone();
    void lint_reportsEachRuleAsLinesOrJson();
    void lint_exitStatus_data();
    void lint_exitStatus();
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

void TestCliChecks::sensitive_looseOnRequestOrBySetting()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", toGbk(u"赌博\r\n"_s)));
    const QByteArray input = u"赌-博，賭 博，赌博"_s.toUtf8();
    const QString literal = u"赌-博，賭 博，<font color=red>赌博</font>"_s;
    const QString loose = u"<font color=red>赌-博</font>，<font color=red>賭 博</font>，<font color=red>赌博</font>"_s;

    CliRun run = runCli(appRoot(app), {u"sensitive"_s}, input);
    QCOMPARE(run.outText(), literal);
    run = runCli(appRoot(app), {u"sensitive"_s, u"--loose"_s}, input);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outText(), loose);
    QCOMPARE(run.err, QByteArray("count=3\n")); // spans, not library lines

    QVERIFY(app.writeSettings(u"[Format]\r\nSensitiveLoose=1"_s));
    run = runCli(appRoot(app), {u"sensitive"_s}, input);
    QCOMPARE(run.outText(), loose);
}

void TestCliChecks::space_oneBlankOrNone()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\r\nCjkSpace=0"_s)); // the command does not ask the setting
    CliRun run =
        runCli(appRoot(app), {u"space"_s}, u"<p title=\"中文abc\">用iPhone拍 https://a.cn/图片</p>"_s.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outText(), u"<p title=\"中文abc\">用 iPhone 拍 https://a.cn/图片</p>"_s);
    QCOMPARE(run.err, QByteArray("count=2\n"));

    run = runCli(appRoot(app), {u"space"_s, u"--remove"_s}, u"共 3 件\n第 2 行"_s.toUtf8());
    QCOMPARE(run.outText(), u"共3件\n第2行"_s);
    QCOMPARE(run.err, QByteArray("count=4\n"));
}

// A small article with one finding of each rule.
void TestCliChecks::lint_reportsEachRuleAsLinesOrJson()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\error.dat", toGbk(u"按装|安装\r\n"_s)));
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", toGbk(u"赌博\r\n"_s)));
    QVERIFY(app.writeSettings(u"[Format]\r\nCjkSpace=1\r\nSensitiveLoose=1"_s));
    const QString article = u"<p>请按装软件。</p><p>这里有赌😀博。</p><p>你好,世界。</p><p>用iPhone。</p>"_s;
    QVERIFY(app.writeFile(u"\\data\\article.html", article.toUtf8()));
    const QString file = app.path(u"\\data\\article.html");

    const CliRun lines = runCli(appRoot(app), {u"lint"_s, file});
    QCOMPARE(lines.exitCode, 1);
    QCOMPARE(lines.outText(), file + u":1:2: typo: 按装 -> 安装\n"_s + file + u":3:4: sensitive: 赌😀博 -> \n"_s + file
                                  + u":5:3: punctuation: , -> ，\n"_s + file + u":7:1: spacing: 用i -> 用 i\n"_s);
    QVERIFY(lines.err.isEmpty());

    const CliRun json = runCli(appRoot(app), {u"lint"_s, u"--json"_s}, article.toUtf8());
    QCOMPARE(json.exitCode, 1);
    const QList<QByteArray> objects = json.out.trimmed().split('\n');
    QCOMPARE(objects.size(), 4);
    const QJsonObject sensitive = QJsonDocument::fromJson(objects.at(1)).object();
    QCOMPARE(sensitive.keys().size(), 7);
    QCOMPARE(sensitive.value(u"rule"_s).toString(), u"sensitive"_s);
    QCOMPARE(sensitive.value(u"line"_s).toInt(), 3);
    QCOMPARE(sensitive.value(u"column"_s).toInt(), 4);
    QCOMPARE(sensitive.value(u"offset"_s).toInt(), 13); // characters, a line break as two (CR LF)
    QCOMPARE(sensitive.value(u"length"_s).toInt(), 3);
    QCOMPARE(sensitive.value(u"text"_s).toString(), u"赌😀博"_s);
    QCOMPARE(sensitive.value(u"suggestion"_s).toString(), QString());
    for (const QByteArray &object : objects)
        QVERIFY2(!QJsonDocument::fromJson(object).isNull(), object.constData());
}

void TestCliChecks::lint_exitStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("nothing to report") << QStringList{u"lint"_s} << u"<p>一切正常。</p>"_s.toUtf8() << 0;
    QTest::newRow("a plain text file as it is") << QStringList{u"lint"_s} << u"第一行\n你好,"_s.toUtf8() << 1;
    QTest::newRow("two files") << QStringList{u"lint"_s, u"a"_s, u"b"_s} << QByteArray() << 2;
    QTest::newRow("an unknown option") << QStringList{u"lint"_s, u"--fix"_s} << QByteArray() << 2;
    QTest::newRow("a file that cannot be read")
        << QStringList{u"lint"_s, u"/nonexistent/a.html"_s} << QByteArray() << 2;
}

void TestCliChecks::lint_exitStatus()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    TempAppFolder app;
    const CliRun run = runCli(appRoot(app), args, input);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 2)
        QVERIFY(run.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestCliChecks)
#include "tst_cli_checks.moc"
