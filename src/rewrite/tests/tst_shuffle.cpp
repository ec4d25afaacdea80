#include "rewrite/shuffle.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QStringList paragraphsOf(const QString &html)
{
    QStringList out;
    static const QRegularExpression paragraph(u"<p>(.*?)</p>"_s, QRegularExpression::DotMatchesEverythingOption);
    for (const QRegularExpressionMatch &m : paragraph.globalMatch(html))
        out << m.captured(1);
    return out;
}

QString randomText(QRandomGenerator &random, const QString &alphabet, int maxLength)
{
    QString out;
    const int length = int(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        out += alphabet.at(random.bounded(int(alphabet.size())));
    return out;
}

} // namespace

class TestShuffle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thresholds_data();
    void thresholds();
    void paragraphMovesToFront_atLevelFrequency_data();
    void paragraphMovesToFront_atLevelFrequency();
    void sentenceMovesToFront_atLevelFrequency_data();
    void sentenceMovesToFront_atLevelFrequency();
    void drawsDifferWithinOneArticle();
    void shuffleParagraphs_cases_data();
    void shuffleParagraphs_cases();
    void shuffleSentences_cases_data();
    void shuffleSentences_cases();
    void shuffleParagraphs_keepsEveryParagraphOnce();
    void shuffleSentences_invariants();
};

void TestShuffle::thresholds_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("paragraph");
    QTest::addColumn<int>("sentence");
    QTest::newRow("20%") << 0 << 8 << 9;
    QTest::newRow("40%") << 1 << 6 << 8;
    QTest::newRow("60%") << 2 << 5 << 6;
    QTest::newRow("80%") << 3 << 4 << 4;
    QTest::newRow("none chosen") << -1 << 0 << 0;
    QTest::newRow("beyond the list") << 4 << 0 << 0;
}

void TestShuffle::thresholds()
{
    QFETCH(int, level);
    QFETCH(int, paragraph);
    QFETCH(int, sentence);
    QCOMPARE(paragraphThreshold(level), paragraph);
    QCOMPARE(sentenceThreshold(level), sentence);
}

void TestShuffle::paragraphMovesToFront_atLevelFrequency_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("expected");
    QTest::newRow("20%: 1 in 10") << 0 << 0.1;
    QTest::newRow("40%: 3 in 10") << 1 << 0.3;
    QTest::newRow("60%: 4 in 10") << 2 << 0.4;
    QTest::newRow("80%: 5 in 10") << 3 << 0.5;
    QTest::newRow("none chosen: 9 in 10") << -1 << 0.9;
}

void TestShuffle::paragraphMovesToFront_atLevelFrequency()
{
    QFETCH(int, level);
    QFETCH(double, expected);
    QRandomGenerator random(42u + quint32(level + 1));
    const int runs = 20000;
    int moved = 0;
    for (int i = 0; i < runs; ++i) {
        const QString out = shuffleParagraphs(u"<p>A</p><p>B</p>"_s, level, random);
        QVERIFY(out == u"<p>A</p><p>B</p>"_s || out == u"<p>B</p><p>A</p>"_s);
        moved += out.startsWith(u"<p>B"_s);
    }
    QVERIFY2(qAbs(double(moved) / runs - expected) < 0.015, qPrintable(QString::number(moved)));
}

void TestShuffle::sentenceMovesToFront_atLevelFrequency_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("expected");
    QTest::newRow("20%: never") << 0 << 0.0;
    QTest::newRow("40%: 1 in 10") << 1 << 0.1;
    QTest::newRow("60%: 3 in 10") << 2 << 0.3;
    QTest::newRow("80%: 5 in 10") << 3 << 0.5;
    QTest::newRow("none chosen: 9 in 10") << -1 << 0.9;
}

void TestShuffle::sentenceMovesToFront_atLevelFrequency()
{
    QFETCH(int, level);
    QFETCH(double, expected);
    QRandomGenerator random(7u + quint32(level + 1));
    const int runs = 20000;
    int moved = 0;
    for (int i = 0; i < runs; ++i) {
        const QString out = shuffleSentences(u"甲甲。乙乙。丙丙"_s, level, random);
        QVERIFY(out == u"甲甲。乙乙。丙丙。"_s || out == u"甲甲。丙丙。乙乙。"_s);
        moved += out == u"甲甲。丙丙。乙乙。"_s;
    }
    QVERIFY2(qAbs(double(moved) / runs - expected) < 0.015, qPrintable(QString::number(moved)));
}

// One generator for the whole article: its paragraphs move independently,
// not all together as they would with a generator re-seeded for each draw.
void TestShuffle::drawsDifferWithinOneArticle()
{
    QString html;
    const int count = 400;
    for (int i = 0; i < count; ++i)
        html += u"<p>%1</p>"_s.arg(i);
    QRandomGenerator random(99);
    const QStringList out = paragraphsOf(shuffleParagraphs(html, 0, random));
    QCOMPARE(out.size(), count);
    // Moved paragraphs come first, in descending order; the rest follow in order.
    int moved = 1;
    while (moved < count && out.at(moved).toInt() < out.at(moved - 1).toInt())
        ++moved;
    QVERIFY2(moved > 15 && moved < 65, qPrintable(QString::number(moved)));
}

void TestShuffle::shuffleParagraphs_cases_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("allowed");

    QTest::newRow("upper-case P with a class, opening tags removed")
        << u"<P class=\"x\">A</P><p>B</p>"_s << 0 << QStringList{u"<p>A</p><p>B</p>"_s, u"<p>B</p><p>A</p>"_s};
    QTest::newRow("no </p> at level 0: unchanged but for tag case")
        << u"<B>甲。乙乙。</B>"_s << 0 << QStringList{u"<b>甲。乙乙。</b>"_s};
    QTest::newRow("no </p> above level 0: its sentences reordered")
        << u"甲。乙乙。丙丙。"_s << 3 << QStringList{u"甲。乙乙。丙丙。"_s, u"甲。丙丙。乙乙。"_s};
    QTest::newRow("text before joins the first paragraph, text after is one of its own")
        << u"intro<p>A</p><p> </p>tail"_s << 0
        << QStringList{u"<p>introA</p><p>tail</p>"_s, u"<p>tail</p><p>introA</p>"_s};
    QTest::newRow("other opening tags starting with p go too")
        << u"<p><pre>x</pre></p>"_s << 0 << QStringList{u"<p>x</pre></p>"_s};
    QTest::newRow("empty") << QString() << 2 << QStringList{QString()};
}

void TestShuffle::shuffleParagraphs_cases()
{
    QFETCH(QString, html);
    QFETCH(int, level);
    QFETCH(QStringList, allowed);
    QRandomGenerator random(5);
    for (int i = 0; i < 50; ++i) {
        const QString out = shuffleParagraphs(html, level, random);
        QVERIFY2(allowed.contains(out), qPrintable(out));
    }
}

void TestShuffle::shuffleSentences_cases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one-character sentences dropped, first kept, separator at the end")
        << u"甲。乙。丙"_s << 3 << u"甲。"_s;
    QTest::newRow("one-character sentence between separators dropped")
        << u"今天天气好。好。明天下雨"_s << 1 << u"今天天气好。明天下雨。"_s;
    QTest::newRow("spaces do not count towards the length") << u"甲。 乙 。"_s << -1 << u"甲。"_s;
    QTest::newRow("doubled separators collapsed") << u"甲。。乙乙。。"_s << 0 << u"甲。乙乙。"_s;
    QTest::newRow("full stop when there is no 。") << u"One. Two. Three"_s << 0 << u"One. Two. Three."_s;
    QTest::newRow("。 wins over .") << u"a.b。cc"_s << 0 << u"a.b。cc。"_s;
    QTest::newRow("no separator: unchanged") << u"没有句号"_s << 3 << u"没有句号"_s;
    QTest::newRow("empty") << QString() << 3 << QString();
}

void TestShuffle::shuffleSentences_cases()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QFETCH(QString, expected);
    QRandomGenerator random(11);
    QCOMPARE(shuffleSentences(text, level, random), expected);
}

void TestShuffle::shuffleParagraphs_keepsEveryParagraphOnce()
{
    QRandomGenerator random(2026);
    for (int round = 0; round < 2000; ++round) {
        QString html;
        QStringList expected;
        const int count = int(random.bounded(8));
        for (int i = 0; i < count; ++i) {
            const QString body = randomText(random, u"ab <>"_s, 4).remove(u'<').remove(u'>');
            html += (random.bounded(2) ? u"<p>"_s : u"<P style=\"x\">"_s) + body + u"</p>"_s;
            if (!body.trimmed().isEmpty())
                expected << body;
        }
        const int level = int(random.bounded(5)) - 1;
        if (level > 0)
            continue; // sentences are reordered there; covered below
        QStringList out = paragraphsOf(shuffleParagraphs(html, level, random));
        std::sort(expected.begin(), expected.end());
        std::sort(out.begin(), out.end());
        QCOMPARE(out, expected);
    }
}

void TestShuffle::shuffleSentences_invariants()
{
    QRandomGenerator random(1207);
    for (int round = 0; round < 3000; ++round) {
        const QString text = randomText(random, u"ab 。."_s, 20);
        const int level = int(random.bounded(5)) - 1;
        const QString out = shuffleSentences(text, level, random);
        const QString separator = text.contains(u'。') ? u"。"_s : u"."_s;
        if (!text.contains(separator)) {
            QCOMPARE(out, text);
            continue;
        }
        const QStringList pieces = text.split(separator);
        QVERIFY(out.startsWith(pieces.first() + separator) || (pieces.first().isEmpty() && out.startsWith(separator)));
        QVERIFY(out.endsWith(separator));
        QVERIFY(!out.contains(separator + separator));
        QStringList kept;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            if (QString(pieces.at(i)).remove(u' ').size() > 1 || pieces.at(i).trimmed().size() > 1)
                kept << pieces.at(i);
        }
        QStringList rest = out.mid(pieces.first().size() + separator.size()).split(separator, Qt::SkipEmptyParts);
        std::sort(kept.begin(), kept.end());
        std::sort(rest.begin(), rest.end());
        QCOMPARE(rest, kept);
    }
}

QTEST_GUILESS_MAIN(TestShuffle)
#include "tst_shuffle.moc"
