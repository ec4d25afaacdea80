#include "cli_runner.h"
#include "rewrite/pseudo_original.h"
#include "snapshot/settings_snapshot.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString Article =
    u"<p>今天很美丽。明天也很美丽。后天还是很美丽。</p><p>第二段漂亮。</p><p>第三段。</p><p>第四段。</p>"_s;

} // namespace

class TestCliRewrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void synonyms_usesApplicationFolderLibrary();
    void synonyms_missingLibrary_leavesTextAndWarns();
    void wholeWords_swapOnlyWordsOutsideTags_data();
    void wholeWords_swapOnlyWordsOutsideTags();
    void shuffle_seededRunIsReproducible();
    void pseudo_runsTheChosenSteps();
    void usageErrors_data();
    void usageErrors();
};

void TestCliRewrite::synonyms_usesApplicationFolderLibrary()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮\r\n"_s)));
    const CliRun run = runCli(app.folder().root(), {u"synonyms"_s}, u"<p>很美丽，不漂亮</p>"_s.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), u"<p>很漂亮，不美丽</p>"_s);
}

void TestCliRewrite::synonyms_missingLibrary_leavesTextAndWarns()
{
    TempAppFolder app;
    QVERIFY(QFile::remove(app.path(u"\\data\\same.dat")));
    const CliRun run = runCli(app.folder().root(), {u"synonyms"_s}, u"很美丽"_s.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), u"很美丽"_s);
    QVERIFY(run.err.contains("same.dat"));
}

void TestCliRewrite::wholeWords_swapOnlyWordsOutsideTags_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("synonyms") << QStringList{u"synonyms"_s, u"--whole-words"_s}
                              << u"<p title=\"手指\">选手指出，他的指头很长。</p>"_s;
    QTest::newRow("pseudo") << QStringList{u"pseudo"_s, u"--synonyms"_s, u"--whole-words"_s}
                            << u"<p>选手指出，他的指头很长。</p>"_s;
}

// The settings file's YC/WholeWords is the window's; the command line asks
// with --whole-words.
void TestCliRewrite::wholeWords_swapOnlyWordsOutsideTags()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\same.dat", toGbk(u"手指|指头\r\n"_s)));
    const CliRun run = runCli(app.folder().root(), args, u"<p title=\"手指\">选手指出，他的手指很长。</p>"_s.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out).trimmed(), expected);
}

void TestCliRewrite::shuffle_seededRunIsReproducible()
{
    TempAppFolder app;
    const QStringList args{u"shuffle"_s, u"--level"_s, u"3"_s, u"--seed"_s, u"5"_s};
    const CliRun first = runCli(app.folder().root(), args, Article.toUtf8());
    QCOMPARE(first.exitCode, 0);
    QRandomGenerator random(5);
    QCOMPARE(QString::fromUtf8(first.out), shuffleStructure(Article, 3, readSettingsSnapshot().format, random));
    QCOMPARE(runCli(app.folder().root(), args, Article.toUtf8()).out, first.out);
}

void TestCliRewrite::pseudo_runsTheChosenSteps()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮\r\n"_s)));
    const CliRun run =
        runCli(app.folder().root(), {u"pseudo"_s, u"--synonyms"_s, u"--shuffle"_s, u"1"_s, u"--seed"_s, u"9"_s},
               Article.toUtf8());
    QCOMPARE(run.exitCode, 0);
    QRandomGenerator random(9);
    const auto expected = oneKeyPseudoOriginal(Article, {true, true, 1, {}}, readSettingsSnapshot().format,
                                               SynonymIndex(u"美丽|漂亮\r\n"_s), WordSegmenter(), random);
    QVERIFY(expected);
    QCOMPARE(QString::fromUtf8(run.out), *expected);
    QVERIFY(run.out.contains("很漂亮"));
}

void TestCliRewrite::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("shuffle without level") << QStringList{u"shuffle"_s};
    QTest::newRow("shuffle level beyond 80%") << QStringList{u"shuffle"_s, u"--level"_s, u"4"_s};
    QTest::newRow("shuffle seed not a number") << QStringList{u"shuffle"_s, u"--level"_s, u"1"_s, u"--seed"_s, u"x"_s};
    QTest::newRow("pseudo bad level") << QStringList{u"pseudo"_s, u"--shuffle"_s, u"-1"_s};
    QTest::newRow("synonyms two files") << QStringList{u"synonyms"_s, u"a"_s, u"b"_s};
}

void TestCliRewrite::usageErrors()
{
    QFETCH(QStringList, args);
    TempAppFolder app;
    const CliRun run = runCli(app.folder().root(), args, "x");
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestCliRewrite)
#include "tst_cli_rewrite.moc"
