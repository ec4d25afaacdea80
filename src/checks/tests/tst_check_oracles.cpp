#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "literal_checks.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

// The fast checks against the plain step-by-step ones on generated cases.
// Small alphabets make collisions frequent: keys that first occur inside
// other lines, keys spanning line breaks, words inside the inserted markup.
class TestCheckOracles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markTypos_matchesLiteral_data();
    void markTypos_matchesLiteral();
    void markTypos_libraryChangedInPlace_neverUsesOldIndex();
    void sensitiveWords_matchesLiteral_data();
    void sensitiveWords_matchesLiteral();
};

namespace {

QString pick(QRandomGenerator &random, const QStringList &pieces, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += pieces.at(int(random.bounded(pieces.size())));
    return out;
}

QString typoLibrary(QRandomGenerator &random)
{
    static const QStringList units = {u"a"_s, u"b"_s, u"c"_s, u"的"_s, u"<"_s, u"b>"_s};
    static const QStringList oddLines = {QString(),  u"a"_s,  u"ab"_s, u"|"_s,      u"|a"_s,
                                         u"a|b|c"_s, u"a|"_s, u"\n"_s, u"a\rb|c"_s, u"ab|c\nd|e"_s};
    QStringList lines;
    const int lineCount = int(random.bounded(8));
    for (int i = 0; i < lineCount; ++i) {
        if (random.bounded(5) == 0)
            lines << oddLines.at(int(random.bounded(oddLines.size())));
        else
            lines << pick(random, units, 1 + int(random.bounded(3))) + u'|'
                         + pick(random, units, int(random.bounded(4)));
    }
    QString library = lines.join(u"\r\n"_s);
    if (random.bounded(2))
        library += u"\r\n"_s;
    return library;
}

QString typoText(QRandomGenerator &random)
{
    static const QStringList units = {u"a"_s, u"b"_s,    u"c"_s,  u"的"_s, u"<"_s, u">"_s,
                                      u"|"_s, u"\r\n"_s, u"\n"_s, u"\r"_s, u"x"_s, u"<b>"_s};
    return pick(random, units, int(random.bounded(25)));
}

QString sensitiveLibrary(QRandomGenerator &random)
{
    static const QStringList units = {u"a"_s, u"b"_s, u"中"_s, u"f"_s, u"o"_s, u"n"_s, u"t"_s, u"r"_s,
                                      u"e"_s, u"d"_s, u"<"_s,  u">"_s, u"/"_s, u"="_s, u" "_s};
    static const QStringList markupWords = {
        u"font"_s, u"red"_s, u"<"_s, u"</font>"_s, u"=red>a"_s, u"t>"_s, u"d>中"_s, u"<font color=red>"_s, u"a</"_s};
    QStringList lines;
    const int lineCount = int(random.bounded(10));
    for (int i = 0; i < lineCount; ++i) {
        const int kind = int(random.bounded(6));
        if (kind == 0)
            lines << markupWords.at(int(random.bounded(markupWords.size())));
        else if (kind == 1 && !lines.isEmpty())
            lines << lines.at(int(random.bounded(lines.size()))); // listed twice
        else if (kind == 2)
            lines << QString();
        else
            lines << pick(random, units, 1 + int(random.bounded(3)));
    }
    QString library = lines.join(u"\r\n"_s);
    if (random.bounded(2))
        library += u"\r\n"_s;
    return library;
}

QString sensitiveText(QRandomGenerator &random)
{
    static const QStringList units = {u"a"_s,
                                      u"b"_s,
                                      u"中"_s,
                                      u"ab"_s,
                                      u"fo"_s,
                                      u"nt"_s,
                                      u"red"_s,
                                      u"<"_s,
                                      u">"_s,
                                      u" "_s,
                                      u"<font color=red>"_s,
                                      u"</font>"_s,
                                      u"\r\n"_s};
    return pick(random, units, int(random.bounded(20)));
}

} // namespace

void TestCheckOracles::markTypos_matchesLiteral_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 2") << 2u;
    QTest::newRow("seed 3") << 3u;
}

void TestCheckOracles::markTypos_matchesLiteral()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    int found = 0;
    for (int i = 0; i < 2000; ++i) {
        const QString library = typoLibrary(random);
        const QString text = typoText(random);
        for (const TypoMark mark : {TypoMark::Mark, TypoMark::Replace}) {
            int expectedCount = -1;
            const QString expected = literal::markTypos(text, library, mark, expectedCount);
            int count = -1;
            const QString actual = markTypos(text, TypoIndex(library), mark, count);
            if (actual != expected || count != expectedCount) {
                qWarning().noquote() << "library" << library.toUtf8().toPercentEncoding() << "text"
                                     << text.toUtf8().toPercentEncoding() << "mark" << int(mark);
            }
            QCOMPARE(actual, expected);
            QCOMPARE(count, expectedCount);
            found += count;
        }
    }
    QVERIFY2(found > 1000, "the generator should produce typos often");
}

void TestCheckOracles::markTypos_libraryChangedInPlace_neverUsesOldIndex()
{
    QString library = u"ab|x\r\ncd|y"_s;
    const QString text = u"abcd"_s;
    int count = 0;
    const TypoIndex first(library);
    QCOMPARE(markTypos(text, first, TypoMark::Replace, count), u"xy"_s);
    library[0] = u'z'; // same string object, new content
    QCOMPARE(markTypos(text, TypoIndex(library), TypoMark::Replace, count), u"aby"_s);
    library.append(u"\r\nab|w"_s);
    QCOMPARE(markTypos(text, TypoIndex(library), TypoMark::Replace, count), u"wy"_s);
    QCOMPARE(markTypos(text, TypoIndex(), TypoMark::Replace, count), text);
    // An index keeps the text it was built from, whatever happens to the string.
    QCOMPARE(markTypos(text, first, TypoMark::Replace, count), u"xy"_s);
}

void TestCheckOracles::sensitiveWords_matchesLiteral_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 11") << 11u;
    QTest::newRow("seed 12") << 12u;
    QTest::newRow("seed 13") << 13u;
}

void TestCheckOracles::sensitiveWords_matchesLiteral()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    int found = 0;
    for (int i = 0; i < 3000; ++i) {
        const QString library = sensitiveLibrary(random);
        const QString html = sensitiveText(random);
        const literal::SensitiveResult expected = literal::checkSensitiveWords(html, library);
        const SensitiveWordsResult actual = checkSensitiveWords(html, SensitiveIndex(library));
        if (actual.marked != expected.marked || actual.count != expected.count) {
            qWarning().noquote() << "library" << library.toUtf8().toPercentEncoding() << "html"
                                 << html.toUtf8().toPercentEncoding();
        }
        QCOMPARE(actual.marked, expected.marked);
        QCOMPARE(actual.count, expected.count);
        found += actual.count;
    }
    QVERIFY2(found > 1000, "the generator should produce matches often");
}

QTEST_GUILESS_MAIN(TestCheckOracles)
#include "tst_check_oracles.moc"
