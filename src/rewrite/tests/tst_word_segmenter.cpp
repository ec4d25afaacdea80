#include "rewrite/word_segmenter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const WordSegmenter &segmenter()
{
    static const std::unique_ptr<const WordSegmenter> loaded = WordSegmenter::load(WordSegmenter::systemDictionary());
    return *loaded;
}

// The text cut at every boundary, "/" between the pieces.
QString pieces(const QString &text)
{
    const std::vector<qsizetype> bounds = segmenter().boundaries(text);
    QStringList out;
    for (std::size_t i = 1; i < bounds.size(); ++i)
        out << text.mid(bounds[i - 1], bounds[i] - bounds[i - 1]);
    return out.join(u'/');
}

} // namespace

class TestWordSegmenter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boundaries_data();
    void boundaries();
    void load_listWithoutLexicons_isNotLoaded();
    void boundaries_sameOnTwoThreadsAtOnce();
};

void TestWordSegmenter::boundaries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("words") << u"选手指出，部门将体现金融"_s << u"选手/指出/，/部门/将/体现/金融"_s;
    // A mark friso leaves out is no boundary of its own; the next word's start is.
    QTest::newRow("punctuation") << u"好。“他说”"_s << u"好/。“/他/说/”"_s;
    // Positions count UTF-16 units: a character beyond the BMP is two.
    QTest::newRow("emoji between words") << u"手指😀手指"_s << u"手指/😀/手指"_s;
    QTest::newRow("NUL and an unpaired surrogate") << u"手指"_s + QChar(0) + u"手指"_s + QChar(0xD800) + u"手指"_s
                                                   << u"手指/"_s + QChar(0) + u"/手指/"_s + QChar(0xD800) + u"/手指"_s;
    QTest::newRow("Latin and digits kept whole") << u"与qq2013和abc"_s << u"与/qq2013/和/abc"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestWordSegmenter::boundaries()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QVERIFY(segmenter().isLoaded());
    QCOMPARE(pieces(text), expected);
}

// friso goes on without the lexicons it cannot open: a list without them
// is no dictionary.
void TestWordSegmenter::load_listWithoutLexicons_isNotLoaded()
{
    QTemporaryDir dir;
    QFile list(dir.filePath(u"friso.lex.ini"_s));
    QVERIFY(list.open(QIODevice::WriteOnly) && list.write("__LEX_CJK_WORDS__ :[\n    lex-main.lex;\n]\n") > 0);
    list.close();
    QString error;
    const auto loaded = WordSegmenter::load(dir.path(), &error);
    QVERIFY(!loaded->isLoaded());
    QVERIFY2(error.contains(QDir::toNativeSeparators(dir.path())), qPrintable(error));
    QVERIFY(loaded->boundaries(u"手指"_s).empty());
}

// The command line segments on several workers with one segmenter.
void TestWordSegmenter::boundaries_sameOnTwoThreadsAtOnce()
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += u"选手指出，部门将体现金融的作用。他的手指很长，门将扑出点球。"_s;
    const std::vector<qsizetype> alone = segmenter().boundaries(text);
    QVERIFY(alone.size() > 4000);
    for (int round = 0; round < 4; ++round) {
        std::vector<qsizetype> first, second;
        std::thread worker([&] { first = segmenter().boundaries(text); });
        second = segmenter().boundaries(text);
        worker.join();
        QVERIFY(first == alone);
        QVERIFY(second == alone);
    }
}

QTEST_GUILESS_MAIN(TestWordSegmenter)
#include "tst_word_segmenter.moc"
