#include "checks/lint.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestLint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeFindings_countsCharactersAndLines();
    void punctuationRanges_afterCjkOnly_data();
    void punctuationRanges_afterCjkOnly();
    void findings_printAsLinesAndJson();
    void lintText_sensitiveLiteralOrLoose_data();
    void lintText_sensitiveLiteralOrLoose();
};

void TestLint::placeFindings_countsCharactersAndLines()
{
    // Lines end at CR LF, LF and CR; an emoji is one character.
    const QString text = u"第一行\r\n😀中文,好\r末行𠀀x\n"_s;
    const std::vector<LintFinding> findings = placeFindings(text, {{u"typo"_s, text.indexOf(u"x"), 1, u"y"_s},
                                                                   {u"punctuation"_s, text.indexOf(u","), 1, u"，"_s},
                                                                   {u"sensitive"_s, text.indexOf(u"😀"), 3, QString()}});
    QCOMPARE(findings.size(), size_t(3));
    QCOMPARE(findings[0], (LintFinding{u"sensitive"_s, 2, 1, 5, 2, u"😀中"_s, QString()}));
    QCOMPARE(findings[1], (LintFinding{u"punctuation"_s, 2, 4, 8, 1, u","_s, u"，"_s}));
    QCOMPARE(findings[2], (LintFinding{u"typo"_s, 3, 4, 14, 1, u"x"_s, u"y"_s}));
}

void TestLint::punctuationRanges_afterCjkOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found"); // "offset mark suggestion"

    QTest::newRow("after CJK characters")
        << u"你好,世界. 真的!对吗?答:"_s
        << QStringList{u"2 , ，"_s, u"5 . 。"_s, u"9 ! ！"_s, u"12 ? ？"_s, u"14 : ："_s};
    QTest::newRow("a blank may stand between") << u"他说 :好"_s << QStringList{u"3 : ："_s};
    QTest::newRow("after Latin text and digits, none") << u"Hello, world. 版本v1.2，共3.5万"_s << QStringList{};
    QTest::newRow("an ellipsis of dots, none") << u"等等...还有.."_s << QStringList{};
    QTest::newRow("inside an address, none") << u"见https://a.cn/新闻.html和www.a.cn/页面:1"_s << QStringList{};
    QTest::newRow("after full-width punctuation, none") << u"“好”,是"_s << QStringList{};
}

void TestLint::punctuationRanges_afterCjkOnly()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    QStringList actual;
    for (const LintRange &range : punctuationRanges(text)) {
        QCOMPARE(range.rule, u"punctuation"_s);
        QCOMPARE(range.length, 1);
        actual << QString::number(range.start) + u' ' + text.mid(range.start, 1) + u' ' + range.suggestion;
    }
    QCOMPARE(actual, found);
}

void TestLint::findings_printAsLinesAndJson()
{
    const LintFinding finding{u"typo"_s, 3, 7, 42, 2, u"\"A\"\\\n"_s, u"\t好"_s};
    QCOMPARE(lintLine(u"a.html"_s, finding), u"a.html:3:7: typo: \"A\"\\\\n -> \t好"_s);
    const QString json = lintJson(finding);
    QVERIFY(!json.contains(u'\n'));
    QVERIFY(json.startsWith(u"{\"rule\":\"typo\",\"line\":3,\"column\":7,\"offset\":42,\"length\":2,\"text\":"));
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(u"text"_s).toString(), finding.text);
    QCOMPARE(object.value(u"suggestion"_s).toString(), finding.suggestion);
    QCOMPARE(object.size(), 7);
}

void TestLint::lintText_sensitiveLiteralOrLoose_data()
{
    QTest::addColumn<bool>("loose");
    QTest::addColumn<QStringList>("found"); // "offset text"
    // The word is listed twice; its occurrences touch.
    QTest::newRow("literal: each occurrence once, disguises pass")
        << false << QStringList{u"0 赌博"_s, u"2 赌博"_s, u"9 赌博"_s};
    QTest::newRow("loose: spans, the disguised ones too")
        << true << QStringList{u"0 赌博"_s, u"2 赌博"_s, u"5 赌-博"_s, u"9 赌博"_s};
}

void TestLint::lintText_sensitiveLiteralOrLoose()
{
    QFETCH(bool, loose);
    QFETCH(QStringList, found);
    const QString library = u"赌博\r\n赌博\r\n"_s;
    const TypoIndex typos{QString()};
    const SensitiveIndex literal(library);
    const LooseSensitiveIndex disguised(library, QString(), TraditionalChars());
    const LintLibraries libraries{typos, &literal, &disguised};
    QStringList actual;
    for (const LintFinding &finding : lintText(u"赌博赌博，赌-博，赌博"_s, libraries, {loose, CjkSpacing::Leave})) {
        QCOMPARE(finding.rule, u"sensitive"_s);
        actual << QString::number(finding.offset) + u' ' + finding.text;
    }
    QCOMPARE(actual, found);
}

QTEST_GUILESS_MAIN(TestLint)
#include "tst_lint.moc"
