#include "net/count_text.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCountText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clean_data();
    void clean();
};

void TestCountText::clean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing is zero") << QString() << u"0"_s;
    QTest::newRow("about, line end") << u"约1,230\r\n"_s << u"1,230"_s;
    QTest::newRow("UTF-8 read as GBK: wan and yi restored") << u" 约12涓?3浜? "_s << u"12万3亿"_s;
    QTest::newRow("lone CR and LF, inner blanks kept") << u"\r1 2\n"_s << u"1 2"_s;
    QTest::newRow("only blanks stays empty, not zero") << u"  "_s << QString();
    QTest::newRow("other white space is not trimmed") << u"\t5\u3000"_s << u"\t5\u3000"_s;
}

void TestCountText::clean()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(cleanCountText(text), expected);
}

QTEST_GUILESS_MAIN(TestCountText)
#include "tst_count_text.moc"
