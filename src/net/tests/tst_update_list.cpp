#include "net/update_list.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestUpdateList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void unusableEntries_areRefused_data();
    void unusableEntries_areRefused();
    void stamps_data();
    void stamps();
};

void TestUpdateList::parse_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QList<UpdatePackage>>("packages");
    QTest::addColumn<int>("skipped");

    const UpdatePackage abc{u"a"_s, u"b"_s, u"c"_s};
    const UpdatePackage def{u"d"_s, u"e"_s, u"f"_s};
    QTest::newRow("one line without <br>") << u"a|b|c"_s << QList{abc} << 0;
    QTest::newRow("two lines in list order") << u"a|b|c<br>d|e|f"_s << QList{abc, def} << 0;
    QTest::newRow("trailing <br> gives a short line") << u"a|b|c<br>"_s << QList{abc} << 1;
    QTest::newRow("short line between two") << u"a|b|c<br>x|y<br>d|e|f"_s << QList{abc, def} << 1;
    QTest::newRow("extra fields ignored") << u"a|b|c|extra"_s << QList{abc} << 0;
    QTest::newRow("line ends of a stored reply") << u"a|b|c\r\n"_s << QList{abc} << 0;
    QTest::newRow("empty reply: no update") << QString() << QList<UpdatePackage>{} << 0;
    QTest::newRow("text without separators: no update") << u"nothing new"_s << QList<UpdatePackage>{} << 0;
    QTest::newRow("one short line: nothing to install") << u"a|b"_s << QList<UpdatePackage>{} << 1;
    QTest::newRow("Chinese names kept") << u"二〇二四版|20240101|/up/1.md"_s
                                        << QList{UpdatePackage{u"二〇二四版"_s, u"20240101"_s, u"/up/1.md"_s}} << 0;
}

void TestUpdateList::parse()
{
    QFETCH(QString, reply);
    QFETCH(QList<UpdatePackage>, packages);
    QFETCH(int, skipped);
    const UpdateList list = parseUpdateList(reply);
    QCOMPARE(list.packages, packages);
    QCOMPARE(list.skippedLines, skipped);
    QVERIFY(list.refused.isEmpty());
}

void TestUpdateList::unusableEntries_areRefused_data()
{
    QTest::addColumn<QString>("reply");
    // The name becomes "\update\" + name + ".md".
    QTest::newRow("slash in name") << u"a/b|s|/p"_s;
    QTest::newRow("backslash in name") << u"a\\b|s|/p"_s;
    QTest::newRow("dot-dot name") << u"..|s|/p"_s;
    QTest::newRow("dot-dot inside name") << u"x..y|s|/p"_s;
    QTest::newRow("empty name") << u"|s|/p"_s;
    // The stamp goes into the settings file, the path into the request line.
    QTest::newRow("line break inside stamp") << u"a|s\r\n[Servers]|/p"_s;
    QTest::newRow("blank inside path") << u"a|s|/p HTTP/1.0"_s;
    QTest::newRow("empty path") << u"a|s|"_s;
    QTest::newRow("bad second line") << u"a|b|c<br>../d|e|f"_s;
}

void TestUpdateList::unusableEntries_areRefused()
{
    QFETCH(QString, reply);
    const UpdateList list = parseUpdateList(reply);
    QCOMPARE(list.refused.size(), 1);
}

void TestUpdateList::stamps_data()
{
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("newer");

    QTest::newRow("digits compare as numbers") << u"100"_s << u"99"_s << true;
    QTest::newRow("leading zeros do not count") << u"0100"_s << u"99"_s << true;
    QTest::newRow("the same number written otherwise") << u"007"_s << u"7"_s << false;
    QTest::newRow("numbers longer than any integer")
        << u"1000000000000000000000000"_s << u"999999999999999999999999"_s << true;
    QTest::newRow("equal") << u"20250301"_s << u"20250301"_s << false;
    QTest::newRow("others compare as bytes") << u"a10"_s << u"a9"_s << false;
    QTest::newRow("digits against others: bytes") << u"10"_s << u"9a"_s << false;
    QTest::newRow("nothing recorded: any stamp") << u"0"_s << QString() << true;
    QTest::newRow("an empty stamp after a recorded one") << QString() << u"1"_s << false;
}

void TestUpdateList::stamps()
{
    QFETCH(QString, stamp);
    QFETCH(QString, installed);
    QFETCH(bool, newer);
    QCOMPARE(isNewerStamp(stamp, installed), newer);
}

QTEST_GUILESS_MAIN(TestUpdateList)
#include "tst_update_list.moc"
