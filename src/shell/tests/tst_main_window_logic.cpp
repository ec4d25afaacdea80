#include "editor/mode_name.h"
#include "shell/main_window_logic.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestMainWindowLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseAdvertisement_data();
    void parseAdvertisement();
    void startMode_data();
    void startMode();
    void versionCaption_joinsVersionAndLibraryCounts();
    void nextNoticeIndex_data();
    void nextNoticeIndex();
};

void TestMainWindowLogic::parseAdvertisement_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("link");
    QTest::newRow("no advertisement") << QString() << false << QString() << QString();
    QTest::newRow("picture alone") << u"ad.jpg"_s << true << u"ad.jpg"_s << QString();
    QTest::newRow("picture and link") << u"ad.jpg|http://a.example/x?y=1"_s << true << u"ad.jpg"_s
                                      << u"http://a.example/x?y=1"_s;
    QTest::newRow("empty link") << u"ad.jpg|"_s << true << u"ad.jpg"_s << QString();
    QTest::newRow("extra fields are ignored") << u"ad.jpg|http://a|b"_s << true << u"ad.jpg"_s << u"http://a"_s;
}

void TestMainWindowLogic::parseAdvertisement()
{
    QFETCH(QString, reply);
    QFETCH(bool, shown);
    QFETCH(QString, picture);
    QFETCH(QString, link);
    const std::optional<Advertisement> ad = ::parseAdvertisement(reply);
    QCOMPARE(ad.has_value(), shown);
    if (ad) {
        QCOMPARE(ad->picture, picture);
        QCOMPARE(ad->link, link);
    }
}

void TestMainWindowLogic::startMode_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("startedWithText");
    QTest::addColumn<bool>("seoOffered");
    QTest::addColumn<QString>("mode");
    QTest::newRow("1") << u"1"_s << false << true << ModeName::Format;
    QTest::newRow("2") << u"2"_s << false << true << ModeName::Yc;
    QTest::newRow("3") << u"3"_s << false << true << ModeName::Seo;
    QTest::newRow("3 without the statistics mode") << u"3"_s << false << false << ModeName::Format;
    QTest::newRow("4") << u"4"_s << false << true << ModeName::Format;
    QTest::newRow("missing") << QString() << false << true << ModeName::Format;
    QTest::newRow("not a number") << u"seo"_s << false << true << ModeName::Format;
    QTest::newRow("text handed over wins") << u"3"_s << true << true << ModeName::Yc;
}

void TestMainWindowLogic::startMode()
{
    QFETCH(QString, setting);
    QFETCH(bool, startedWithText);
    QFETCH(bool, seoOffered);
    QFETCH(QString, mode);
    QCOMPARE(::startMode(setting, startedWithText, seoOffered), mode);
}

void TestMainWindowLogic::versionCaption_joinsVersionAndLibraryCounts()
{
    QCOMPARE(::versionCaption(u"1.0.0"_s, u"1200"_s, u"35000"_s), u"版本:1.0.0　错别字库:1200组　同义词库:35000组"_s);
}

void TestMainWindowLogic::nextNoticeIndex_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("next");
    QTest::newRow("one notice stays") << 0 << 1 << 0;
    QTest::newRow("advances") << 0 << 3 << 1;
    QTest::newRow("wraps after the last") << 2 << 3 << 0;
    QTest::newRow("no notices") << 0 << 0 << 0;
}

void TestMainWindowLogic::nextNoticeIndex()
{
    QFETCH(int, current);
    QFETCH(int, count);
    QFETCH(int, next);
    QCOMPARE(::nextNoticeIndex(current, count), next);
}

QTEST_GUILESS_MAIN(TestMainWindowLogic)
#include "tst_main_window_logic.moc"
