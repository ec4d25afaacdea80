#include "literal_synonyms.h"
#include "rewrite/synonym_index.h"
#include "rewrite/synonyms.h"
#include "synonym_samples.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString visible(const QString &text)
{
    QString out = text;
    out.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
    return out;
}

QString randomString(QRandomGenerator &random, const QString &alphabet, int maxLength)
{
    QString out;
    const int length = int(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        out += alphabet.at(random.bounded(int(alphabet.size())));
    return out;
}

// Libraries in many shapes: words over a tiny alphabet so that words collide,
// overlap and contain each other; A|B and A|B|C lines, single words, empty
// words and lines, LF-only line ends, with and without a final CR LF.
QString randomLibrary(QRandomGenerator &random)
{
    const QString wordChars = random.bounded(2) ? u"ab"_s : u"abc<"_s;
    QString library;
    const int lines = int(random.bounded(7));
    for (int line = 0; line < lines; ++line) {
        if (line > 0) {
            const int separator = int(random.bounded(10));
            library += separator < 7 ? u"\r\n"_s : separator < 9 ? u"\n"_s : u"\r"_s;
        }
        const int words = int(random.bounded(4));
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                library += u'|';
            library += randomString(random, wordChars, 4);
        }
    }
    if (random.bounded(3) == 0)
        library += u"\r\n"_s;
    return library;
}

QString randomArticle(QRandomGenerator &random)
{
    static const QString alphabets[] = {u"ab"_s, u"abc"_s, u"abc\r\n"_s, u"ab<>/|"_s, u"abc |\r\n<>"_s};
    return randomString(random, alphabets[random.bounded(5)], 14);
}

} // namespace

class TestSynonyms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceSynonyms_rules_data();
    void replaceSynonyms_rules();
    void replaceSynonyms_matchesLiteralRoutine();
    void replaceSynonyms_matchesLiteralRoutineOnRealWords();
    void replaceSynonyms_followsChangedLibrary();
    void wholeWords_rules_data();
    void wholeWords_rules();
    void wholeWordsOff_matchesLiteralRoutine();
    void isLibraryBoundary_data();
    void isLibraryBoundary();
};

void TestSynonyms::replaceSynonyms_rules_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString pair = u"美丽|漂亮"_s;
    QTest::newRow("A|B: first word becomes second") << pair << u"很美丽"_s << u"很漂亮"_s;
    QTest::newRow("A|B: second word becomes first") << pair << u"很漂亮"_s << u"很美丽"_s;
    QTest::newRow("A|B: every occurrence") << pair << u"美丽又漂亮，美丽"_s << u"漂亮又美丽，漂亮"_s;
    QTest::newRow("empty article") << pair << QString() << QString();
    QTest::newRow("empty library") << QString() << u"很美丽"_s << u"很美丽"_s;

    const QString triple = u"上网|冲浪|娱乐"_s;
    QTest::newRow("A|B|C: A becomes B") << triple << u"上网"_s << u"冲浪"_s;
    QTest::newRow("A|B|C: B stays B") << triple << u"冲浪"_s << u"冲浪"_s;
    QTest::newRow("A|B|C: C becomes A") << triple << u"娱乐"_s << u"上网"_s;
    QTest::newRow("line of one word stays") << u"战争"_s << u"战争"_s << u"战争"_s;

    const QString longerFirst = u"美丽动人|迷人\r\n美丽|漂亮"_s;
    QTest::newRow("word grows past a longer library word") << longerFirst << u"美丽"_s << u"美丽"_s;
    QTest::newRow("longer word found whole") << longerFirst << u"很美丽动人"_s << u"很迷人"_s;
    QTest::newRow("first hit wins over a longer word")
        << u"美丽|漂亮\r\n美丽动人|迷人"_s << u"美丽动人"_s << u"漂亮动人"_s;
    QTest::newRow("first occurrence inside a word hides a later whole word") << u"ab|x\r\nb|y"_s << u"b"_s << u"b"_s;
    QTest::newRow("candidate stops at the end of the article") << u"ab|x\r\na|z"_s << u"a"_s << u"a"_s;

    QTest::newRow("words inside tags are replaced")
        << u"p|div"_s << u"<p class=\"a\">x</p>"_s << u"<div class=\"a\">x</div>"_s;
    QTest::newRow("CR and LF are never starting points") << u"a|b"_s << u"a\r\nb\n\r"_s << u"b\r\na\n\r"_s;
    QTest::newRow("inserted word is not scanned again") << u"A|AB"_s << u"AA"_s << u"ABAB"_s;
    QTest::newRow("empty second word removes the word") << u"A|"_s << u"xAy"_s << u"xy"_s;
    QTest::newRow("blank library lines and final CR LF") << u"\r\n\r\n美丽|漂亮\r\n\r\n"_s << u"美丽"_s << u"漂亮"_s;
    QTest::newRow("LF-only lines join the line of the CR") << u"甲|乙\n丙|丁"_s << u"丙乙"_s << u"丁甲"_s;
}

void TestSynonyms::replaceSynonyms_rules()
{
    QFETCH(QString, library);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(replaceSynonyms(text, SynonymIndex(library)), expected);
    QCOMPARE(literalReplaceSynonyms(text, library), expected);
}

void TestSynonyms::replaceSynonyms_matchesLiteralRoutine()
{
    QRandomGenerator random(20261207);
    int changed = 0;
    for (int round = 0; round < 6000; ++round) {
        const QString library = randomLibrary(random);
        const SynonymIndex index(library);
        for (int t = 0; t < 10; ++t) {
            const QString text = randomArticle(random);
            const QString fast = index.replace(text);
            const QString literal = literalReplaceSynonyms(text, library);
            changed += literal != text;
            if (fast != literal) {
                qWarning("library \"%s\" text \"%s\": fast \"%s\", literal \"%s\"", qPrintable(visible(library)),
                         qPrintable(visible(text)), qPrintable(visible(fast)), qPrintable(visible(literal)));
                QFAIL("fast and literal replacement differ");
            }
        }
    }
    // The generated cases must exercise replacement, not only misses.
    QVERIFY2(changed > 8000, qPrintable(QString::number(changed)));
}

void TestSynonyms::replaceSynonyms_matchesLiteralRoutineOnRealWords()
{
    const QString samples = sampleFolder();
    if (samples.isEmpty())
        QSKIP(sampleSkipMessage());
    const QString chinese = sampleChineseText(samples);
    QVERIFY(chinese.size() > 1000);
    const QString library = makeSynonymLibrary(chinese, 2000, 7);
    const QString article = sampleArticleHtml(samples, 8000) + chinese.left(4000);
    const QString replaced = replaceSynonyms(article, SynonymIndex(library));
    QVERIFY(replaced != article);
    QCOMPARE(replaced, literalReplaceSynonyms(article, library));
}

void TestSynonyms::replaceSynonyms_followsChangedLibrary()
{
    QString library = u"美丽|漂亮"_s;
    const SynonymIndex first(library);
    QCOMPARE(replaceSynonyms(u"美丽"_s, first), u"漂亮"_s);
    library[3] = u'亮';
    library[4] = u'漂';
    QCOMPARE(replaceSynonyms(u"美丽"_s, SynonymIndex(library)), u"亮漂"_s);
    QCOMPARE(replaceSynonyms(u"美丽"_s, SynonymIndex(u"美丽|好看"_s)), u"好看"_s);
    // An index keeps the text it was built from, whatever happens to the string.
    QCOMPARE(replaceSynonyms(u"美丽"_s, first), u"漂亮"_s);
}

namespace {

const WordSegmenter &segmenter()
{
    static const std::unique_ptr<const WordSegmenter> loaded = WordSegmenter::load(WordSegmenter::systemDictionary());
    return *loaded;
}

} // namespace

void TestSynonyms::wholeWords_rules_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString words = u"手指|指头\r\n门将|守门员\r\n现金|钞票"_s;
    QTest::newRow("inside a longer word") << words << u"选手指出问题"_s << u"选手指出问题"_s;
    QTest::newRow("across two words") << words << u"部门将加强管理"_s << u"部门将加强管理"_s;
    QTest::newRow("across two words, at the end of one") << words << u"体现金融的作用"_s << u"体现金融的作用"_s;
    QTest::newRow("standing as words") << words << u"他的手指很长，门将扑出点球，付了现金。"_s
                                       << u"他的指头很长，守门员扑出点球，付了钞票。"_s;
    QTest::newRow("second word back to the first") << words << u"他伸出指头数钞票"_s << u"他伸出手指数现金"_s;

    QTest::newRow("attribute left, text swapped")
        << words << u"<img alt=\"手指\"><p title='门将' class=\"x\">手指</p>"_s
        << u"<img alt=\"手指\"><p title='门将' class=\"x\">指头</p>"_s;
    QTest::newRow("quoted > inside a tag")
        << words << u"<a title=\"a>手指\">手指</a>"_s << u"<a title=\"a>手指\">指头</a>"_s;
    QTest::newRow("comment, script and style left")
        << words << u"<!-- 手指 --><script>var s='手指';</script><STYLE>.手指{}</STYLE>手指"_s
        << u"<!-- 手指 --><script>var s='手指';</script><STYLE>.手指{}</STYLE>指头"_s;
    QTest::newRow("tag names are never words") << u"p|div"_s << u"<p>p</p>"_s << u"<p>div</p>"_s;
    QTest::newRow("a lone < is text") << words << u"1 < 2，手指"_s << u"1 < 2，指头"_s;
    QTest::newRow("next to references and emoji") << words << u"&nbsp;手指&amp;😀手指"_s << u"&nbsp;指头&amp;😀指头"_s;

    QTest::newRow("A|B|C as in the literal exchange")
        << u"开心|高兴|快乐"_s << u"我很开心，他很高兴，你很快乐。"_s << u"我很高兴，他很高兴，你很开心。"_s;
    // The literal exchange misses 美丽 here: its first place in the library
    // is inside 美丽动人. As a word it has a line of its own.
    const QString longerFirst = u"美丽动人|迷人\r\n美丽|漂亮"_s;
    QTest::newRow("a word first met inside a longer one") << longerFirst << u"她很美丽。"_s << u"她很漂亮。"_s;
    QTest::newRow("the longer word when it is one") << longerFirst << u"美丽动人的风景"_s << u"迷人的风景"_s;
    QTest::newRow("empty library") << QString() << u"他的手指"_s << u"他的手指"_s;
    QTest::newRow("empty article") << words << QString() << QString();
}

void TestSynonyms::wholeWords_rules()
{
    QFETCH(QString, library);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QVERIFY(segmenter().isLoaded());
    QCOMPARE(replaceSynonyms(text, SynonymIndex(library), {true}, segmenter()), expected);
    // Without a segmenter no word is known to stand alone.
    QCOMPARE(replaceSynonyms(text, SynonymIndex(library), {true}, WordSegmenter()), text);
}

// Off, the option changes nothing: the literal routine, byte for byte, also
// when a segmenter is at hand.
void TestSynonyms::wholeWordsOff_matchesLiteralRoutine()
{
    QRandomGenerator random(20261208);
    for (int round = 0; round < 2000; ++round) {
        const QString library = randomLibrary(random);
        const SynonymIndex index(library);
        const QString text = randomArticle(random);
        QCOMPARE(replaceSynonyms(text, index, {false}, segmenter()), literalReplaceSynonyms(text, library));
    }
    const QString samples = sampleFolder();
    if (samples.isEmpty())
        QSKIP(sampleSkipMessage());
    const QString chinese = sampleChineseText(samples);
    const QString library = makeSynonymLibrary(chinese, 2000, 11);
    const QString article = sampleArticleHtml(samples, 8000);
    QCOMPARE(replaceSynonyms(article, SynonymIndex(library), {false}, segmenter()),
             literalReplaceSynonyms(article, library));
}

void TestSynonyms::isLibraryBoundary_data()
{
    QTest::addColumn<QString>("c");
    QTest::addColumn<bool>("boundary");
    QTest::newRow("nothing") << QString() << true;
    QTest::newRow("CR") << u"\r"_s << true;
    QTest::newRow("LF") << u"\n"_s << true;
    QTest::newRow("bar") << u"|"_s << true;
    QTest::newRow("space") << u" "_s << false;
    QTest::newRow("word character") << u"美"_s << false;
}

void TestSynonyms::isLibraryBoundary()
{
    QFETCH(QString, c);
    QFETCH(bool, boundary);
    QCOMPARE(::isLibraryBoundary(c), boundary);
}

QTEST_GUILESS_MAIN(TestSynonyms)
#include "tst_synonyms.moc"
