#include "checks/typo_check.h"
#include "literal_checks.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestTypoCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markTypos_examples_data();
    void markTypos_examples();
    void fixPunctuation_bothModes_data();
    void fixPunctuation_bothModes();
};

void TestTypoCheck::markTypos_examples_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("replaced");
    QTest::addColumn<int>("count");

    const QString lib = u"按装|安装\r\n的的|的\r\n渡假|度假\r\n"_s;
    QTest::newRow("doubled character, marked once")
        << u"我的的书"_s << lib << u"我<font color=red>的的</font>书"_s << u"我的书"_s << 1;
    QTest::newRow("two different typos") << u"按装后去渡假"_s << lib
                                         << u"<font color=red>按装</font>后去<font color=red>渡假</font>"_s
                                         << u"安装后去度假"_s << 2;
    QTest::newRow("nothing found") << u"安装"_s << lib << u"安装"_s << u"安装"_s << 0;
    QTest::newRow("empty text") << QString() << lib << QString() << QString() << 0;
    QTest::newRow("empty library") << u"按装"_s << QString() << u"按装"_s << u"按装"_s << 0;
    QTest::newRow("key inside a tag attribute")
        << u"<img alt=\"按装\">"_s << lib << u"<img alt=\"<font color=red>按装</font>\">"_s << u"<img alt=\"安装\">"_s
        << 1;
    // 安装 first occurs as the right-hand side of an earlier line, so its own
    // entry further down is never reached.
    QTest::newRow("key first occurring inside another line")
        << u"安装"_s << u"按装|安装\r\n安装|按装"_s << u"安装"_s << u"安装"_s << 0;
    QTest::newRow("key on the last line without a line end")
        << u"xab"_s << u"q|r\r\nab|cd"_s << u"x<font color=red>ab</font>"_s << u"xcd"_s << 1;
    QTest::newRow("only the first two fields count")
        << u"ab"_s << u"ab|cd|ef"_s << u"<font color=red>ab</font>"_s << u"cd"_s << 1;
    QTest::newRow("line without a bar never matches") << u"ab"_s << u"ab\r\n"_s << u"ab"_s << u"ab"_s << 0;
    QTest::newRow("replacement longer than the typo")
        << u"aaa"_s << u"a|aa"_s << u"<font color=red>a</font><font color=red>a</font><font color=red>a</font>"_s
        << u"aaaaaa"_s << 3;
    QTest::newRow("empty replacement") << u"xaay"_s << u"a|"_s
                                       << u"x<font color=red>a</font><font color=red>a</font>y"_s << u"xy"_s << 2;
    QTest::newRow("line breaks are skipped")
        << u"a\r\na"_s << u"a|b"_s << u"<font color=red>a</font>\r\n<font color=red>a</font>"_s << u"b\r\nb"_s << 2;
}

void TestTypoCheck::markTypos_examples()
{
    QFETCH(QString, text);
    QFETCH(QString, library);
    QFETCH(QString, marked);
    QFETCH(QString, replaced);
    QFETCH(int, count);

    const TypoIndex index(library);
    int markCount = -1;
    QCOMPARE(markTypos(text, index, TypoMark::Mark, markCount), marked);
    QCOMPARE(markCount, count);
    int replaceCount = -1;
    QCOMPARE(markTypos(text, index, TypoMark::Replace, replaceCount), replaced);
    QCOMPARE(replaceCount, count);

    int literalCount = -1;
    QCOMPARE(literal::markTypos(text, library, TypoMark::Mark, literalCount), marked);
    QCOMPARE(literal::markTypos(text, library, TypoMark::Replace, literalCount), replaced);
    QCOMPARE(literalCount, count);
}

void TestTypoCheck::fixPunctuation_bothModes_data()
{
    QTest::addColumn<TypoMark>("mark");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("replace") << TypoMark::Replace << u"a,b."_s << u"a，b。"_s;
    QTest::newRow("replace all five, markup included")
        << TypoMark::Replace << u"<a href=\"http://x.cn\">!?:</a>"_s << u"<a href=\"http：//x。cn\">！？：</a>"_s;
    QTest::newRow("mark") << TypoMark::Mark << u"a,b."_s << u"a<font color=red>,</font>b<font color=red>.</font>"_s;
    QTest::newRow("mark all five in order")
        << TypoMark::Mark << u".,!?:"_s
        << u"<font color=red>.</font><font color=red>,</font><font color=red>!</font>"
           u"<font color=red>?</font><font color=red>:</font>"_s;
    QTest::newRow("full-width already") << TypoMark::Replace << u"，。"_s << u"，。"_s;
}

void TestTypoCheck::fixPunctuation_bothModes()
{
    QFETCH(TypoMark, mark);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(fixPunctuation(text, mark), expected);
}

QTEST_GUILESS_MAIN(TestTypoCheck)
#include "tst_typo_check.moc"
