#include "cli_runner.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCliFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void format_modes_data();
    void format_modes();
    void format_readsFile();
    void format_errors_data();
    void format_errors();
};

void TestCliFormat::format_modes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mode 1 by default: punctuation and signature") << QStringList{u"format"_s} << u"<p>a，bS</p>"_s;
    QTest::newRow("mode 0: neither") << QStringList{u"format"_s, u"--mode"_s, u"0"_s} << u"<p>a,b</p>"_s;
    QTest::newRow("mode 2 given as --mode=2") << QStringList{u"format"_s, u"--mode=2"_s} << u"<p>a,b</p>"_s;
}

void TestCliFormat::format_modes()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nPoint=1\nAutoSign=1\nEnd=1\nSign=S"_s));
    const CliRun run = runCli(app.folder().root(), args, "<div>a,b</div>");
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), expected);
}

void TestCliFormat::format_readsFile()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\article.html", "<p>\xE4\xB8\xAD<img src=a.jpg></p>"));
    const CliRun run = runCli(app.folder().root(), {u"format"_s, app.path(u"\\article.html")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             u"<p>中</p><center><img src=\"a.jpg\" alt=\"\" width=\"\" height=\"\" align=\"\"></center>"_s);
}

void TestCliFormat::format_errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("unknown mode") << QStringList{u"format"_s, u"--mode"_s, u"3"_s} << 2;
    QTest::newRow("mode without value") << QStringList{u"format"_s, u"--mode"_s} << 2;
    QTest::newRow("two files") << QStringList{u"format"_s, u"a"_s, u"b"_s} << 2;
    QTest::newRow("missing file") << QStringList{u"format"_s, u"/nonexistent/article.html"_s} << 1;
}

void TestCliFormat::format_errors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    TempAppFolder app;
    const CliRun run = runCli(app.folder().root(), args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestCliFormat)
#include "tst_cli_format.moc"
