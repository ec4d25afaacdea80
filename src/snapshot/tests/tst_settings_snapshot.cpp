#include "checks/typo_check.h"
#include "settings/config.h"
#include "settings/config_keys.h"
#include "settings/config_snapshot.h"
#include "snapshot/settings_snapshot.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestSettingsSnapshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snapshot_readsEveryKeyAsGetConfig_data();
    void snapshot_readsEveryKeyAsGetConfig();
    void snapshot_keepsTheFileAsItWasAtTheStart();
    void formatOptions_readAsThePipelineReadsThem_data();
    void formatOptions_readAsThePipelineReadsThem();
    void fixPunctuation_readsSettingAtEachCall();
    void checkAndSpacingOptions_readAsStored_data();
    void checkAndSpacingOptions_readAsStored();
};

void TestSettingsSnapshot::snapshot_readsEveryKeyAsGetConfig_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("fresh installation") << QString();
    QTest::newRow("numbers, blanks, quotes and Chinese")
        << u"[Format]\nSpaceNum= 3.9 \nHeadSpace=\"1\"\nSign=  中文签名 \nExtBr=2\n"
           u"[YC]\nKeywordStrong=-1.5\nKeywordStr=\"关键词\"\nLinkType=abc\n"_s;
    QTest::newRow("names in any case, the first of twice")
        << u"[format]\nheadspace=1\n[FORMAT]\nHeadSpace=0\n[Format]\nSPACENUM=7\nSpaceNum=8\n"_s;
    QTest::newRow("a value over 1023 bytes") << u"[Format]\nSign="_s + QString(600, QChar(0x4E2D)) + u'\n';
    QTest::newRow("keys outside their section") << u"HeadSpace=1\n[Other]\nSpaceNum=4\n[Format]\n"_s;
}

// The snapshot answers from one read what getConfig answers from the file
// at every call.
void TestSettingsSnapshot::snapshot_readsEveryKeyAsGetConfig()
{
    QFETCH(QString, file);
    TempAppFolder app;
    if (!file.isNull())
        QVERIFY(app.writeSettings(file));
    const ConfigSnapshot snapshot = ConfigSnapshot::read();
    for (const ConfigKey &key : Cfg::all) {
        QCOMPARE(snapshot.text(key), configText(key));
        QCOMPARE(snapshot.integer(key), configInt(key));
        QCOMPARE(snapshot.flag(key), configFlag(key));
        QCOMPARE(snapshot.value(key), configValue(key));
    }
}

void TestSettingsSnapshot::snapshot_keepsTheFileAsItWasAtTheStart()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nHeadSpace=1\nSign=A"_s));
    const SettingsSnapshot first = readSettingsSnapshot();
    QVERIFY(setConfigText(Cfg::Format::Sign, u"B"_s));
    QVERIFY(setConfigFlag(Cfg::Format::HeadSpace, false));
    // The command that started before the change runs on with what it read.
    QCOMPARE(first.format.sign, u"A"_s);
    QVERIFY(first.format.headSpace);
    const SettingsSnapshot next = readSettingsSnapshot();
    QCOMPARE(next.format.sign, u"B"_s);
    QVERIFY(!next.format.headSpace);
    // A missing settings file reads as a fresh one.
    QVERIFY(QFile::remove(app.folder().settingsFile()));
    QCOMPARE(readSettingsSnapshot().format.sign, QString());
}

void TestSettingsSnapshot::formatOptions_readAsThePipelineReadsThem_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("removeLinkWords"); // RemoveLink on and SaveWords 0
    QTest::addColumn<bool>("headSpace");
    QTest::addColumn<int>("spaceNum");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<int>("density");
    QTest::newRow("nothing set") << QByteArray() << false << false << 0 << 0 << 0;
    QTest::newRow("flags count only as 1")
        << QByteArray("[Format]\nRemoveLink=2\nHeadSpace=1.0\nSpaceNum=3") << false << true << 3 << 0 << 0;
    // Only a SaveWords of 0 drops the words of removed links.
    QTest::newRow("SaveWords other than 0 keeps link words")
        << QByteArray("[Format]\nRemoveLink=1\nSaveWords=2") << false << false << 0 << 0 << 0;
    QTest::newRow("SaveWords not a number drops them")
        << QByteArray("[Format]\nRemoveLink=1\nSaveWords=x") << true << false << 0 << 0 << 0;
    // Numbers go to the pipeline as stored; out of range means "no link" or
    // "no keyword" there, not the dialog's first item.
    QTest::newRow("numbers as stored, floored")
        << QByteArray("[Format]\nSpaceNum=-2.5\n[YC]\nLinkType=2\nKeywordStrong=25") << false << false << -3 << 2 << 25;
}

void TestSettingsSnapshot::formatOptions_readAsThePipelineReadsThem()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, removeLinkWords);
    QFETCH(bool, headSpace);
    QFETCH(int, spaceNum);
    QFETCH(int, linkType);
    QFETCH(int, density);
    const FormatOptions options = readFormatOptions(ConfigSnapshot::fromBytes(file));
    QCOMPARE(options.removeLink && !options.saveWords, removeLinkWords);
    QCOMPARE(options.headSpace, headSpace);
    QCOMPARE(options.spaceNum, spaceNum);
    QCOMPARE(options.keyword.linkType, linkType);
    QCOMPARE(options.keyword.density, density);
}

void TestSettingsSnapshot::fixPunctuation_readsSettingAtEachCall()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\r\nCheckWordsType=1"_s));
    QCOMPARE(fixPunctuation(u"a,b"_s, readSettingsSnapshot().checks.typoMark), u"a<font color=red>,</font>b"_s);
    QVERIFY(app.writeSettings(u"[Format]\r\nCheckWordsType=0"_s));
    QCOMPARE(fixPunctuation(u"a,b"_s, readSettingsSnapshot().checks.typoMark), u"a，b"_s);
    QVERIFY(app.writeSettings(u"[Format]\r\nCheckWordsType=abc"_s));
    QCOMPARE(fixPunctuation(u"a,b"_s, readSettingsSnapshot().checks.typoMark), u"a，b"_s);
}

void TestSettingsSnapshot::checkAndSpacingOptions_readAsStored_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("loose");
    QTest::addColumn<CjkSpacing>("spacing");
    QTest::newRow("nothing set") << QByteArray() << false << CjkSpacing::Leave;
    QTest::newRow("loose, one blank") << QByteArray("[Format]\nSensitiveLoose=1\nCjkSpace=1") << true
                                      << CjkSpacing::OneBlank;
    QTest::newRow("flag 2 is off, 2 removes blanks")
        << QByteArray("[Format]\nSensitiveLoose=2\nCjkSpace=2") << false << CjkSpacing::NoBlank;
    QTest::newRow("other numbers leave the text alone")
        << QByteArray("[Format]\nCjkSpace=3") << false << CjkSpacing::Leave;
    QTest::newRow("not a number") << QByteArray("[Format]\nCjkSpace=one") << false << CjkSpacing::Leave;
}

void TestSettingsSnapshot::checkAndSpacingOptions_readAsStored()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, loose);
    QFETCH(CjkSpacing, spacing);
    const SettingsSnapshot snapshot = readSettingsSnapshot(ConfigSnapshot::fromBytes(file));
    QCOMPARE(snapshot.checks.sensitiveLoose, loose);
    QCOMPARE(snapshot.format.cjkSpace, spacing);
}

QTEST_GUILESS_MAIN(TestSettingsSnapshot)
#include "tst_settings_snapshot.moc"
