#include "net/advertisement.h"
#include "testsupport/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestAdvertisement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picture_onlyABareNameOfAFileInHtml_data();
    void picture_onlyABareNameOfAFileInHtml();
};

void TestAdvertisement::picture_onlyABareNameOfAFileInHtml_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shown");
    QTest::newRow("the shipped picture") << u"ad.png"_s << true;
    QTest::newRow("letters, digits, dot, underscore, dash") << u"Ad_2025-03.v2.png"_s << true;
    QTest::newRow("out of html/") << u"../setting/config.ini"_s << false;
    QTest::newRow("a path below html/") << u"sub/ad.png"_s << false;
    QTest::newRow("an absolute path") << u"/etc/passwd"_s << false;
    QTest::newRow("a Windows path") << u"..\\setting\\config.ini"_s << false;
    QTest::newRow("the folder above") << u".."_s << false;
    QTest::newRow("html/ itself") << u"."_s << false;
    QTest::newRow("a blank in it") << u"ad copy.png"_s << false;
    QTest::newRow("a line break after it") << u"ad.png\r\n"_s << false;
    QTest::newRow("letters of another script") << u"广告.png"_s << false;
    QTest::newRow("no such file") << u"missing.png"_s << false;
    QTest::newRow("a folder") << u"pictures"_s << false;
    QTest::newRow("a link to a file elsewhere") << u"link.png"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestAdvertisement::picture_onlyABareNameOfAFileInHtml()
{
    QFETCH(QString, name);
    QFETCH(bool, shown);
    TempAppFolder app;
    QVERIFY(app.writeFile(u"\\html\\ad.png", "picture"));
    QVERIFY(app.writeFile(u"\\html\\Ad_2025-03.v2.png", "picture"));
    QVERIFY(app.writeFile(u"\\html\\广告.png", "picture"));
    QVERIFY(QDir().mkpath(app.path(u"\\html\\pictures")));
    QVERIFY(QFile::link(app.path(u"\\setting\\config.ini"), app.path(u"\\html\\link.png")));
    const QString path = advertisementPicturePath(app.folder(), name);
    QCOMPARE(path.isEmpty(), !shown);
    if (shown)
        QCOMPARE(path, app.path(u"\\html\\") + name);
}

QTEST_GUILESS_MAIN(TestAdvertisement)
#include "tst_advertisement.moc"
