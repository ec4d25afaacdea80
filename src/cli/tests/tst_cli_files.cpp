// The article commands over many files: --out DIR with -j workers.
#include "cli_runner.h"
#include "testsupport/sample_pages.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Every option that changes a formatting run, the way an editor sets them.
const QString BusySettings =
    u"[Format]\nExtBr=1\nHeadSpace=1\nSpaceNum=2\nSpaceStr=1\nFull=1\nPoint=1\nCheckWords=1\nCheckWordsType=1\n"
    u"RemoveLink=1\nSaveWords=0\nAutoSign=1\nEnd=1\nSign=（本文来源：测试）\n"
    u"[YC]\nKeyword=1\nKeywordStrong=3\nKeywordStr=宇航员\nLinkUrl=www.example.com\nLinkType=1\n"_s;

// Articles of every size and shape a paste gives: paragraphs of Chinese text
// with typos, links, pictures, tables and half-width punctuation.
QString generatedArticle(QRandomGenerator &random)
{
    static const QStringList words{u"宇航员"_s,       u"按装"_s, u"空间站"_s, u"的的"_s, u"实验"_s, u"Hello, world."_s,
                                   u"ＡＢＣ１２３"_s, u"安详"_s, u"!"_s,      u"赌博"_s, u"美丽"_s, u"漂亮"_s};
    QString html;
    const int paragraphs = 1 + int(random.bounded(40));
    for (int p = 0; p < paragraphs; ++p) {
        QString text;
        const int length = int(random.bounded(60));
        for (int w = 0; w < length; ++w)
            text += words.at(int(random.bounded(qsizetype(words.size())))) + (random.bounded(5) == 0 ? u"。"_s : u""_s);
        switch (random.bounded(5)) {
        case 0:
            html += u"<p>"_s + text + u"<a href=\"http://x.cn/"_s + QString::number(p) + u"\">链接</a></p>"_s;
            break;
        case 1:
            html += u"<div>"_s + text + u"<img src=\"p"_s + QString::number(p) + u".jpg\" width=\"300\"></div>"_s;
            break;
        case 2:
            html += u"<table><tr><td>"_s + text + u"</td><td>表</td></tr></table>"_s;
            break;
        default:
            html += u"<P class=\"c\">"_s + text + u"</P>\r\n"_s;
        }
    }
    return html;
}

// n articles in folder/in: the sample pages when they are beside the
// checkout, generated ones for the rest.
QStringList writeArticles(const TempAppFolder &app, int n)
{
    QStringList files;
    QStringList samples;
    if (!sampleArticlesFolder().isEmpty()) {
        const QDir articles(sampleArticlesFolder());
        for (const QString &name : articles.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            samples << articles.filePath(name + u"/source.html"_s) << articles.filePath(name + u"/expected.html"_s);
        }
    }
    QRandomGenerator random(23);
    for (int i = 0; i < n; ++i) {
        QByteArray bytes;
        if (i < samples.size()) {
            QFile sample(samples.at(i));
            if (sample.open(QIODevice::ReadOnly))
                bytes = sample.readAll();
        } else {
            bytes = generatedArticle(random).toUtf8();
        }
        const QString systemPath = u"\\in\\a%1.html"_s.arg(i, 2, 10, QChar(u'0'));
        if (!app.writeFile(systemPath, bytes))
            return {};
        files << app.path(systemPath);
    }
    return files;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList stderrLines(const CliRun &run)
{
    return run.errText().split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void manyFiles_eachAsTheOneFileCommand_data();
    void manyFiles_eachAsTheOneFileCommand();
    void format_fiftyArticles_sameWithOneAndTwoWorkers();
    void badFiles_reportedInOrder_othersWritten();
    void invalidEncoding_oneFile_fails_data();
    void invalidEncoding_oneFile_fails();
    void usageErrors_data();
    void usageErrors();
    void terminal_showsProgressBar();
};

void TestCliFiles::manyFiles_eachAsTheOneFileCommand_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("counts");
    QTest::newRow("format") << QStringList{u"format"_s} << false;
    QTest::newRow("format, mode 2, GBK") << QStringList{u"--gbk"_s, u"format"_s, u"--mode"_s, u"2"_s} << false;
    QTest::newRow("typos, replaced") << QStringList{u"typos"_s, u"--replace"_s} << true;
    QTest::newRow("sensitive") << QStringList{u"sensitive"_s} << true;
    QTest::newRow("punct") << QStringList{u"punct"_s} << false;
    QTest::newRow("synonyms") << QStringList{u"synonyms"_s} << false;
    QTest::newRow("shuffle, seeded") << QStringList{u"shuffle"_s, u"--level"_s, u"3"_s, u"--seed"_s, u"7"_s} << false;
    QTest::newRow("pseudo, seeded") << QStringList{u"pseudo"_s, u"--synonyms"_s, u"--shuffle"_s,
                                                   u"2"_s,      u"--seed"_s,     u"7"_s}
                                    << false;
}

void TestCliFiles::manyFiles_eachAsTheOneFileCommand()
{
    QFETCH(QStringList, command);
    QFETCH(bool, counts);
    TempAppFolder app;
    QVERIFY(app.writeSettings(BusySettings));
    QVERIFY(app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮\r\n宇航员|航天员\r\n"_s)));
    QStringList files = writeArticles(app, 6);
    QVERIFY(files.size() == 6);
    if (command.first() == u"--gbk") {
        for (const QString &file : std::as_const(files)) {
            const QString text = QString::fromUtf8(readAll(file));
            const QString systemPath = u"\\in\\"_s + QFileInfo(file).fileName();
            QVERIFY(app.writeFile(systemPath, toGbk(text)));
        }
    }

    const QString out = app.path(u"\\out");
    const CliRun many = runCli(app.folder().root(), command + QStringList{u"-j"_s, u"2"_s, u"--out"_s, out} + files);
    QCOMPARE(many.exitCode, 0);
    QVERIFY(many.out.isEmpty());
    const QStringList summary = stderrLines(many);
    QCOMPARE(summary.size(), 1);
    QVERIFY2(summary.first().startsWith(u"zorvane-cli: 6 files, 6 written"_s), qPrintable(summary.first()));
    int total = 0;
    for (const QString &file : std::as_const(files)) {
        const CliRun one = runCli(app.folder().root(), command + QStringList{file});
        QCOMPARE(one.exitCode, 0);
        QCOMPARE(readAll(out + u'/' + QFileInfo(file).fileName()), one.out);
        if (counts)
            total += one.errText().section(u'=', 1).trimmed().toInt();
    }
    QCOMPARE(summary.first().contains(u", count=%1"_s.arg(total)), counts);
}

void TestCliFiles::format_fiftyArticles_sameWithOneAndTwoWorkers()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(BusySettings));
    const QStringList files = writeArticles(app, 50);
    QCOMPARE(files.size(), 50);
    const QString one = app.path(u"\\one");
    const QString two = app.path(u"\\two");
    const CliRun serial =
        runCli(app.folder().root(), QStringList{u"format"_s, u"-j"_s, u"1"_s, u"--out"_s, one} + files);
    const CliRun parallel =
        runCli(app.folder().root(), QStringList{u"format"_s, u"-j"_s, u"2"_s, u"--out"_s, two} + files);
    QCOMPARE(serial.exitCode, 0);
    QCOMPARE(parallel.exitCode, 0);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        const QByteArray formatted = readAll(one + u'/' + name);
        QVERIFY2(formatted.startsWith("<p>") || formatted.startsWith("<center>"), qPrintable(name));
        QCOMPARE(readAll(two + u'/' + name), formatted);
    }
}

void TestCliFiles::badFiles_reportedInOrder_othersWritten()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\in\\good.html", "<p>a</p>"));
    QVERIFY(app.writeFile(u"\\in\\bad.html", "<p>\xFF\xFE</p>"));
    QVERIFY(app.writeFile(u"\\in\\last.html", "<p>b</p>"));
    QVERIFY(app.writeFile(u"\\other\\good.html", "<p>c</p>"));
    const QString out = app.path(u"\\out");
    QVERIFY(app.writeFile(u"\\out\\last.html", "old"));
    const QStringList files{app.path(u"\\in\\good.html"),  app.path(u"\\missing.html"),
                            app.path(u"\\in\\bad.html"),   app.path(u"\\other\\good.html"),
                            app.path(u"\\out\\last.html"), app.path(u"\\in\\last.html")};
    const CliRun run = runCli(app.folder().root(), QStringList{u"format"_s, u"--out"_s, out} + files);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    const QStringList lines = stderrLines(run);
    QCOMPARE(lines.size(), 5);
    QVERIFY2(lines.at(0).startsWith(u"zorvane-cli: "_s + files.at(1) + u": cannot read"_s), qPrintable(lines.at(0)));
    QCOMPARE(lines.at(1), u"zorvane-cli: "_s + files.at(2) + u": not valid UTF-8"_s);
    // A second file of the same name, and a result that would replace its input.
    QVERIFY2(lines.at(2).startsWith(u"zorvane-cli: "_s + files.at(3) + u": "_s + files.at(0) + u" has the same name"_s),
             qPrintable(lines.at(2)));
    QCOMPARE(lines.at(3), u"zorvane-cli: "_s + files.at(4) + u": its result would replace it"_s);
    QVERIFY2(lines.at(4).startsWith(u"zorvane-cli: 6 files, 2 written to "_s + out + u", 4 failed"_s),
             qPrintable(lines.at(4)));
    QCOMPARE(readAll(out + u"/good.html"), QByteArray("<p>a</p>"));
    // The last FILE of that name comes after the refused one: it is written.
    QCOMPARE(readAll(out + u"/last.html"), QByteArray("<p>b</p>"));
    QVERIFY(!QFile::exists(out + u"/bad.html"));
}

void TestCliFiles::invalidEncoding_oneFile_fails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("UTF-8 cut inside a character")
        << QStringList{u"format"_s} << QByteArray("<p>\xE4\xB8</p>") << u"standard input is not valid UTF-8"_s;
    QTest::newRow("a stray byte in GBK") << QStringList{u"--gbk"_s, u"punct"_s} << QByteArray("a,\x80")
                                         << u"standard input is not valid GBK"_s;
}

void TestCliFiles::invalidEncoding_oneFile_fails()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    TempAppFolder app;
    const CliRun run = runCli(app.folder().root(), args, input);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.errText(), u"zorvane-cli: "_s + message + u'\n');
}

void TestCliFiles::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("--out without FILEs") << QStringList{u"format"_s, u"--out"_s, u"x"_s};
    QTest::newRow("--out with standard input") << QStringList{u"typos"_s, u"--out"_s, u"x"_s, u"-"_s};
    QTest::newRow("no workers") << QStringList{u"punct"_s, u"-j"_s, u"0"_s, u"--out"_s, u"x"_s, u"a"_s};
    QTest::newRow("workers not a number") << QStringList{u"punct"_s, u"-j"_s, u"two"_s, u"--out"_s, u"x"_s, u"a"_s};
    QTest::newRow("several FILEs without --out") << QStringList{u"sensitive"_s, u"a"_s, u"b"_s};
}

void TestCliFiles::usageErrors()
{
    QFETCH(QStringList, args);
    TempAppFolder app;
    const CliRun run = runCli(app.folder().root(), args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.errText().startsWith(u"usage: zorvane-cli "_s + args.first()));
    QVERIFY(!QFile::exists(app.path(u"\\x")));
}

// Standard error is a terminal only under script(1), which gives the
// program a pseudo-terminal as a user's shell does.
void TestCliFiles::terminal_showsProgressBar()
{
    TempAppFolder app;
    const QStringList files = writeArticles(app, 3);
    QStringList words{QString::fromUtf8(ZORVANE_CLI),
                      u"--app-dir"_s,
                      app.folder().root(),
                      u"format"_s,
                      u"--out"_s,
                      app.path(u"\\out")};
    words += files;
    for (QString &word : words)
        word = u'\'' + word + u'\'';
    QProcess script;
    script.start(u"script"_s, {u"-qec"_s, words.join(u' '), u"/dev/null"_s});
    QVERIFY2(script.waitForFinished(60000), "script(1) did not end");
    QCOMPARE(script.exitCode(), 0);
    const QString shown = QString::fromUtf8(script.readAllStandardOutput());
    QVERIFY2(shown.contains(u"] 3/3 files"_s) && shown.contains(u" files/s"_s), qPrintable(shown));
    QVERIFY2(shown.contains(u"zorvane-cli: 3 files, 3 written"_s), qPrintable(shown));
}

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_cli_files.moc"
