#include "checks/sensitive_words.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestSensitiveWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkSensitiveWords_examples_data();
    void checkSensitiveWords_examples();
};

void TestSensitiveWords::checkSensitiveWords_examples_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("count");

    QTest::newRow("three occurrences count once, all marked")
        << u"赌博和赌博还有赌博"_s << u"赌博\r\n"_s
        << u"<font color=red>赌博</font>和<font color=red>赌博</font>还有<font color=red>赌博</font>"_s << 1;
    QTest::newRow("count is per library line")
        << u"代开发票，办证"_s << u"办证\r\n代开发票\r\n枪支"_s
        << u"<font color=red>代开发票</font>，<font color=red>办证</font>"_s << 2;
    QTest::newRow("case-sensitive") << u"Spam spam"_s << u"spam"_s << u"Spam <font color=red>spam</font>"_s << 1;
    QTest::newRow("inside tags and attributes") << u"<img alt=\"赌博\" src=\"x.jpg\">"_s << u"赌博"_s
                                                << u"<img alt=\"<font color=red>赌博</font>\" src=\"x.jpg\">"_s << 1;
    QTest::newRow("a word inside an earlier word is marked again inside it")
        << u"代开发票"_s << u"代开发票\r\n发票"_s << u"<font color=red>代开<font color=red>发票</font></font>"_s << 2;
    QTest::newRow("a later line may match the inserted markup")
        << u"赌博"_s << u"赌博\r\nred"_s << u"<font color=<font color=red>red</font>>赌博</font>"_s << 2;
    QTest::newRow("earlier marks can split a later word")
        << u"abc"_s << u"b\r\nabc"_s << u"a<font color=red>b</font>c"_s << 1;
    QTest::newRow("a line listed twice counts twice and nests")
        << u"x枪支"_s << u"枪支\r\n枪支"_s << u"x<font color=red><font color=red>枪支</font></font>"_s << 2;
    QTest::newRow("nothing found leaves the text as it was") << u"<p>你好</p>"_s << u"赌博"_s << u"<p>你好</p>"_s << 0;
    QTest::newRow("empty library") << u"赌博"_s << QString() << u"赌博"_s << 0;
    QTest::newRow("empty lines are skipped") << u"a\r\nb"_s << u"\r\n\r\n"_s << u"a\r\nb"_s << 0;
}

void TestSensitiveWords::checkSensitiveWords_examples()
{
    QFETCH(QString, html);
    QFETCH(QString, library);
    QFETCH(QString, marked);
    QFETCH(int, count);
    const SensitiveWordsResult result = checkSensitiveWords(html, SensitiveIndex(library));
    QCOMPARE(result.marked, marked);
    QCOMPARE(result.count, count);
}

QTEST_GUILESS_MAIN(TestSensitiveWords)
#include "tst_sensitive_words.moc"
