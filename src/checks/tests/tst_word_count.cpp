#include "checks/word_count.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestWordCount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countWords_sourceAndText_data();
    void countWords_sourceAndText();
    void wordCountCaption_format();
    void countTextBox_lineBreakIsTwoCharacters_data();
    void countTextBox_lineBreakIsTwoCharacters();
};

void TestWordCount::countWords_sourceAndText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<qsizetype>("source");
    QTest::addColumn<qsizetype>("text");

    QTest::newRow("empty page") << QString() << qsizetype(0) << qsizetype(0);
    QTest::newRow("tags do not count in the text") << u"<p>中文ab</p>"_s << qsizetype(11) << qsizetype(4);
    QTest::newRow("entities count as written") << u"<p>a&nbsp;b</p>"_s << qsizetype(15) << qsizetype(8);
    QTest::newRow("CR LF and tabs removed, inner blanks kept")
        << u"<p>a b</p>\r\n<p>\tc</p>"_s << qsizetype(21) << qsizetype(4);
    QTest::newRow("blanks trimmed at both ends only") << u"  a  b  "_s << qsizetype(8) << qsizetype(4);
    QTest::newRow("lone line feeds count") << u"a\nb"_s << qsizetype(3) << qsizetype(3);
    QTest::newRow("style, script and comments dropped")
        << u"<STYLE>p{}</STYLE>a<script>x()</script><!-- c -->b"_s << qsizetype(50) << qsizetype(2);
}

void TestWordCount::countWords_sourceAndText()
{
    QFETCH(QString, html);
    QFETCH(qsizetype, source);
    QFETCH(qsizetype, text);
    const WordCount count = countWords(html);
    QCOMPARE(count.source, source);
    QCOMPARE(count.text, text);
}

void TestWordCount::wordCountCaption_format()
{
    QCOMPARE(wordCountCaption({2480, 1311}), u"2480个[源码] 1311个[文本]"_s);
    QCOMPARE(wordCountCaption(countWords(QString())), u"0个[源码] 0个[文本]"_s);
    QCOMPARE(textBoxCaption(1520), u"1520个"_s);
}

void TestWordCount::countTextBox_lineBreakIsTwoCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("count");
    QTest::newRow("CR LF") << u"ab\r\ncd"_s << qsizetype(6);
    QTest::newRow("bare LF from the text box") << u"ab\ncd"_s << qsizetype(6);
    QTest::newRow("blanks and tabs count") << u" a\tb "_s << qsizetype(5);
    QTest::newRow("empty") << QString() << qsizetype(0);
}

void TestWordCount::countTextBox_lineBreakIsTwoCharacters()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, count);
    QCOMPARE(countTextBox(text), count);
}

QTEST_GUILESS_MAIN(TestWordCount)
#include "tst_word_count.moc"
