#include "rewrite/rewrite_texts.h"
#include "settings/config_keys.h"
#include "snapshot/synonym_library_file.h"
#include "snapshot/word_libraries.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString LibraryFile = u"\\data\\same.dat"_s;
const QDateTime StampTime(QDate(2026, 12, 7), QTime(17, 3, 5));

} // namespace

class TestSynonymLibraryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void import_data();
    void import();
    void importFailure_leavesLibraryAndStamp_data();
    void importFailure_leavesLibraryAndStamp();
    void importReadOnlyLibrary_reportsFailure();
    void importUtf8File_writesGbk();
    void importHint_hiddenAfterCancelOnce();
    void export_writesLibraryWithFinalLineEnd();
    void export_refusals_data();
    void export_refusals();
    void exportUnwritableTarget_reportsFailure_data();
    void exportUnwritableTarget_reportsFailure();
    void generalDateText_data();
    void generalDateText();
};

void TestSynonymLibraryFile::import_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("written");

    QTest::newRow("groups of two and three words")
        << u"上网|冲浪|娱乐\r\n战争|死亡"_s << u"上网|冲浪|娱乐\r\n战争|死亡\r\n"_s;
    QTest::newRow("blank and space-only lines dropped, final line end kept once")
        << u"\r\n上网|冲浪\r\n   \r\n\r\n战争|死亡\r\n"_s << u"上网|冲浪\r\n战争|死亡\r\n"_s;
    QTest::newRow("lines kept untrimmed") << u" 甲|乙 \r\n丙|丁"_s << u" 甲|乙 \r\n丙|丁\r\n"_s;
    QTest::newRow("one line") << u"美丽|漂亮"_s << u"美丽|漂亮\r\n"_s;
    QTest::newRow("LF-only lines count as one line") << u"甲|乙\n丙\n"_s << u"甲|乙\n丙\n\r\n"_s;
}

void TestSynonymLibraryFile::import()
{
    QFETCH(QString, source);
    QFETCH(QString, written);
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\import.txt", toGbk(source)));

    const SynonymFileResult result = WordLibraries().importSynonyms(app.path(u"\\import.txt"), StampTime);
    QVERIFY(result.ok);
    QCOMPARE(result.message, RewriteText::kImported);
    QVERIFY(!result.messageBox);
    QCOMPARE(app.readFile(LibraryFile), toGbk(written));
    QCOMPARE(configText(Cfg::vision::SameWord), u"2026/12/7 17:03:05"_s);
}

void TestSynonymLibraryFile::importFailure_leavesLibraryAndStamp_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty file") << QByteArray() << RewriteText::kImportTextEmpty;
    QTest::newRow("blank lines only") << QByteArray("  \r\n\r\n ") << RewriteText::kImportTextEmpty;
    QTest::newRow("one line without bar") << toGbk(u"美丽漂亮"_s) << RewriteText::kImportSingleLineFormatError;
    QTest::newRow("LF-only lines without bar") << QByteArray("ab\ncd\n") << RewriteText::kImportSingleLineFormatError;
    QTest::newRow("one bad line among good ones")
        << toGbk(u"美丽|漂亮\r\n战争\r\n上网|冲浪"_s) << RewriteText::kImportLinesFormatError;
    QTest::newRow("tab is not blank") << QByteArray("a|b\r\n\t\r\n") << RewriteText::kImportLinesFormatError;
}

void TestSynonymLibraryFile::importFailure_leavesLibraryAndStamp()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    TempAppFolder app;
    const QByteArray before = app.readFile(LibraryFile);
    const QString stamp = configText(Cfg::vision::SameWord);
    QVERIFY(!before.isEmpty());
    QVERIFY(app.writeFile(u"\\import.txt", source));

    const SynonymFileResult result = WordLibraries().importSynonyms(app.path(u"\\import.txt"), StampTime);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, message);
    QVERIFY(result.messageBox);
    QCOMPARE(app.readFile(LibraryFile), before);
    QCOMPARE(configText(Cfg::vision::SameWord), stamp);
}

void TestSynonymLibraryFile::importReadOnlyLibrary_reportsFailure()
{
    TempAppFolder app;
    const QByteArray before = app.readFile(LibraryFile);
    const QString stamp = configText(Cfg::vision::SameWord);
    QVERIFY(QFile::setPermissions(app.path(LibraryFile), QFile::ReadOwner));
    QVERIFY(app.writeFile(u"\\import.txt", "a|b"));

    const SynonymFileResult result = WordLibraries().importSynonyms(app.path(u"\\import.txt"), StampTime);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, RewriteText::kImportFailed);
    QCOMPARE(app.readFile(LibraryFile), before);
    QCOMPARE(configText(Cfg::vision::SameWord), stamp);
}

void TestSynonymLibraryFile::importUtf8File_writesGbk()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\import.txt", u"美丽|漂亮"_s.toUtf8()));
    QVERIFY(WordLibraries().importSynonyms(app.path(u"\\import.txt"), StampTime).ok);
    QCOMPARE(app.readFile(LibraryFile), toGbk(u"美丽|漂亮\r\n"_s));
}

void TestSynonymLibraryFile::importHint_hiddenAfterCancelOnce()
{
    TempAppFolder app;
    QVERIFY(synonymImportHintWanted());
    QVERIFY(hideSynonymImportHint());
    QCOMPARE(configText(Cfg::Default::ShowHelp), u"1"_s);
    QVERIFY(!synonymImportHintWanted());
    QVERIFY(setConfigText(Cfg::Default::ShowHelp, u"0"_s));
    QVERIFY(synonymImportHintWanted());
}

void TestSynonymLibraryFile::export_writesLibraryWithFinalLineEnd()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(LibraryFile, toGbk(u"美丽|漂亮\r\n战争|死亡"_s)));
    const QString target = app.path(u"\\out.txt");
    QVERIFY(WordLibraries().synonymExportRefusal().isEmpty());

    const SynonymFileResult result = WordLibraries().exportSynonyms(target);
    QVERIFY(result.ok);
    QCOMPARE(result.message, RewriteText::kExported);
    QCOMPARE(app.readFile(u"\\out.txt"), toGbk(u"美丽|漂亮\r\n战争|死亡\r\n"_s));
}

void TestSynonymLibraryFile::export_refusals_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("message");
    QTest::newRow("no library file") << false << RewriteText::kLibraryMissing;
    QTest::newRow("library file of length 0") << true << RewriteText::kLibraryEmpty;
}

void TestSynonymLibraryFile::export_refusals()
{
    QFETCH(bool, exists);
    QFETCH(QString, message);
    TempAppFolder app;
    if (exists)
        QVERIFY(app.writeFile(LibraryFile, QByteArray()));
    else
        QVERIFY(QFile::remove(app.path(LibraryFile)));

    QCOMPARE(WordLibraries().synonymExportRefusal(), message);
    const SynonymFileResult result = WordLibraries().exportSynonyms(app.path(u"\\out.txt"));
    QVERIFY(!result.ok);
    QCOMPARE(result.message, message);
    QVERIFY(result.messageBox);
    QVERIFY(!QFile::exists(app.path(u"\\out.txt")));
}

void TestSynonymLibraryFile::exportUnwritableTarget_reportsFailure_data()
{
    QTest::addColumn<bool>("readOnlyFile");
    QTest::newRow("read-only file") << true;
    QTest::newRow("missing folder") << false;
}

void TestSynonymLibraryFile::exportUnwritableTarget_reportsFailure()
{
    QFETCH(bool, readOnlyFile);
    TempAppFolder app;
    QString target = app.path(u"\\nofolder\\out.txt");
    if (readOnlyFile) {
        QVERIFY(app.writeFile(u"\\out.txt", "old"));
        target = app.path(u"\\out.txt");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
    }

    const SynonymFileResult result = WordLibraries().exportSynonyms(target);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, RewriteText::kExportFailed);
    if (readOnlyFile)
        QCOMPARE(app.readFile(u"\\out.txt"), QByteArray("old"));
    else
        QVERIFY(!QFile::exists(target));
}

void TestSynonymLibraryFile::generalDateText_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << StampTime << u"2026/12/7 17:03:05"_s;
    QTest::newRow("no leading zeros in month, day, hour")
        << QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5)) << u"2027/1/2 3:04:05"_s;
    QTest::newRow("just after midnight") << QDateTime(QDate(2027, 1, 2), QTime(0, 0, 1)) << u"2027/1/2 0:00:01"_s;
    QTest::newRow("midnight gives the date alone") << QDateTime(QDate(2027, 1, 2), QTime(0, 0)) << u"2027/1/2"_s;
}

void TestSynonymLibraryFile::generalDateText()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QCOMPARE(::generalDateText(when), text);
}

QTEST_GUILESS_MAIN(TestSynonymLibraryFile)
#include "tst_synonym_library_file.moc"
