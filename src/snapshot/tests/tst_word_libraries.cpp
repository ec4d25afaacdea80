#include "snapshot/word_libraries.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

using Library = WordLibraries::Library;

QString replaced(WordLibraries &libraries, const QString &text)
{
    return libraries.synonyms().replace(text);
}

} // namespace

class TestWordLibraries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wordLibrary_loadsOnceAndRetriesWhileEmpty();
    void libraryLoadedOnce_missingFileTriedAgain();
    void reload_readsAReplacedFileOnlyWhenLoaded();
    void typosFor_loadsOnlyForARunThatChecksTypos_data();
    void typosFor_loadsOnlyForARunThatChecksTypos();
    void segmenterFor_readsTheDictionaryOnlyForWholeWords();
    void looseSensitive_readsAllowListAndOpenCC();
};

void TestWordLibraries::wordLibrary_loadsOnceAndRetriesWhileEmpty()
{
    TempAppFolder app;
    QVERIFY(QFile::remove(app.path(u"\\data\\error.dat")));
    WordLibraries libraries;
    int count = -1;
    QCOMPARE(markTypos(u"按装"_s, libraries.typos(), TypoMark::Replace, count), u"按装"_s); // no file yet
    QVERIFY(!libraries.isLoaded(Library::Typos));
    QVERIFY(app.writeFile(u"\\data\\error.dat", "\xB0\xB4\xD7\xB0|\xB0\xB2\xD7\xB0\r\n"));
    QCOMPARE(markTypos(u"按装"_s, libraries.typos(), TypoMark::Replace, count), u"安装"_s);
    QVERIFY(libraries.isLoaded(Library::Typos));
    QVERIFY(app.writeFile(u"\\data\\error.dat", toGbk(u"按装|按住\r\n"_s)));
    QCOMPARE(markTypos(u"按装"_s, libraries.typos(), TypoMark::Replace, count), u"安装"_s); // kept for the run
    QCOMPARE(libraries.filePath(Library::Typos), app.path(u"\\data\\error.dat"));
}

void TestWordLibraries::libraryLoadedOnce_missingFileTriedAgain()
{
    TempAppFolder app;
    QVERIFY(QFile::remove(app.path(u"\\data\\same.dat")));
    WordLibraries libraries;
    QCOMPARE(replaced(libraries, u"ab"_s), u"ab"_s);
    QCOMPARE(replaced(libraries, u"ab"_s), u"ab"_s);
    QVERIFY(!libraries.isLoaded(Library::Synonyms));

    QVERIFY(app.writeFile(u"\\data\\same.dat", "a|b"));
    QCOMPARE(replaced(libraries, u"ab"_s), u"ba"_s);
    QVERIFY(libraries.isLoaded(Library::Synonyms));
    QVERIFY(app.writeFile(u"\\data\\same.dat", "c|d"));
    // Kept for the run: a later import is used from the next start.
    QCOMPARE(replaced(libraries, u"ab"_s), u"ba"_s);
}

void TestWordLibraries::reload_readsAReplacedFileOnlyWhenLoaded()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\same.dat", "a|b"));
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", "x"));
    WordLibraries libraries;
    QCOMPARE(replaced(libraries, u"a"_s), u"b"_s);

    // The service checks store a newer library.
    QVERIFY(app.writeFile(u"\\data\\same.dat", "a|c"));
    libraries.reload(Library::Synonyms);
    QVERIFY(libraries.isLoaded(Library::Synonyms));
    QCOMPARE(replaced(libraries, u"a"_s), u"c"_s);

    // A library not used yet stays unloaded: its first use reads the file.
    libraries.reload(Library::Sensitive);
    QVERIFY(!libraries.isLoaded(Library::Sensitive));
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", "y"));
    QCOMPARE(checkSensitiveWords(u"xy"_s, libraries.sensitive()).marked, u"x<font color=red>y</font>"_s);
}

void TestWordLibraries::typosFor_loadsOnlyForARunThatChecksTypos_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("checkWords");
    QTest::addColumn<bool>("loads");
    QTest::newRow("one-key format checking typos") << int(FormatMode::OneKeyFormat) << true << true;
    QTest::newRow("one-key format without the check") << int(FormatMode::OneKeyFormat) << false << false;
    QTest::newRow("the shuffle's run") << int(FormatMode::Plain) << true << false;
    QTest::newRow("the pseudo-original's run") << int(FormatMode::PseudoOriginal) << true << false;
}

void TestWordLibraries::typosFor_loadsOnlyForARunThatChecksTypos()
{
    QFETCH(int, mode);
    QFETCH(bool, checkWords);
    QFETCH(bool, loads);
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\error.dat", "ab|cd"));
    WordLibraries libraries;
    FormatOptions options;
    options.checkWords = checkWords;
    int count = 0;
    const QString out = markTypos(u"ab"_s, libraries.typosFor(FormatMode(mode), options), TypoMark::Replace, count);
    QCOMPARE(out, loads ? u"cd"_s : u"ab"_s);
    // Otherwise the typo check's first use still says it loads the library.
    QCOMPARE(libraries.isLoaded(Library::Typos), loads);
}

// The dictionary takes a fifth of a second to read: a run without whole
// words never reads it, a run with them once.
void TestWordLibraries::segmenterFor_readsTheDictionaryOnlyForWholeWords()
{
    WordLibraries libraries;
    QVERIFY(!libraries.segmenterFor({false}).isLoaded());
    QVERIFY(!libraries.isSegmenterLoaded());
    const WordSegmenter &first = libraries.segmenterFor({true});
    QVERIFY(first.isLoaded());
    QCOMPARE(&libraries.segmenterFor({true}), &first);
}

// The loose index: the sensitive-word library, its allow-list and the
// traditional characters of the system's OpenCC.
void TestWordLibraries::looseSensitive_readsAllowListAndOpenCC()
{
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\data\\hexie.dat", toGbk(u"代开发票\r\n黄片\r\n"_s)));
    QVERIFY(app.writeFile(u"\\data\\hexie_allow.dat", toGbk(u"三黄片\r\n"_s)));
    WordLibraries libraries;
    const auto count = [&libraries](const QString &html) {
        return checkSensitiveWordsLoose(html, libraries.looseSensitive()).count;
    };
    QCOMPARE(count(u"代開發票，臺灣"_s), 1);
    QVERIFY2(libraries.traditionalCharsError().isEmpty(), qPrintable(libraries.traditionalCharsError()));
    QCOMPARE(count(u"三黄片"_s), 0);
    QVERIFY(libraries.isLoaded(Library::Sensitive));
    QVERIFY(libraries.isLoaded(Library::SensitiveAllowed));

    // A new allow-list counts once the libraries are reloaded.
    QVERIFY(app.writeFile(u"\\data\\hexie_allow.dat", QByteArray()));
    QCOMPARE(count(u"三黄片"_s), 0);
    libraries.reload(Library::SensitiveAllowed);
    QCOMPARE(count(u"三黄片"_s), 1);
}

QTEST_GUILESS_MAIN(TestWordLibraries)
#include "tst_word_libraries.moc"
