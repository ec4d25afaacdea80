#include "settings/config_keys.h"
#include "testsupport/temp_app_folder.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

class TestConfigKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void read_followsTheFileBetweenCalls();
    void write_storesDecimalText();
    void write_readOnlyFile_fails();
    void register_namesAreDistinctAndSectionsAreInTheTemplate();
};

void TestConfigKeys::read_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("asInt");
    QTest::addColumn<bool>("asFlag");

    QTest::newRow("missing") << QString() << 0 << false;
    QTest::newRow("one") << u"1"_s << 1 << true;
    QTest::newRow("one with blanks") << u"  1 "_s << 1 << true;
    QTest::newRow("two is not on") << u"2"_s << 2 << false;
    QTest::newRow("minus one is not on") << u"-1"_s << -1 << false;
    QTest::newRow("one point five") << u"1.5"_s << 1 << true;
    QTest::newRow("letters") << u"yes"_s << 0 << false;
    QTest::newRow("digits then letters") << u"1abc"_s << 0 << false;
}

void TestConfigKeys::read()
{
    QFETCH(QString, stored);
    QFETCH(int, asInt);
    QFETCH(bool, asFlag);
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nHeadSpace="_s + stored + u"\n[vision]\nErrorWordNums="_s + stored));
    QCOMPARE(configFlag(Cfg::Format::HeadSpace), asFlag);
    QCOMPARE(configInt(Cfg::vision::ErrorWordNums), asInt);
    QCOMPARE(configValue(Cfg::vision::ErrorWordNums), QString::number(asInt));
    QCOMPARE(configText(Cfg::vision::ErrorWordNums), stored.trimmed());
}

void TestConfigKeys::read_followsTheFileBetweenCalls()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[YC]\nKeywordStr=新闻\nKeywordStrong=5"_s));
    QCOMPARE(configValue(Cfg::YC::KeywordStr), u"新闻"_s);
    QCOMPARE(configInt(Cfg::YC::KeywordStrong), 5);
    // Another program (the updater) may change the file at any time.
    QVERIFY(app.writeSettings(u"[YC]\nKeywordStr=体育\nKeywordStrong=abc"_s));
    QCOMPARE(configValue(Cfg::YC::KeywordStr), u"体育"_s);
    QCOMPARE(configInt(Cfg::YC::KeywordStrong), 0);
}

void TestConfigKeys::write_storesDecimalText()
{
    TempAppFolder app;
    QVERIFY(setConfigFlag(Cfg::login::AutoLogin, true));
    QVERIFY(setConfigFlag(Cfg::Format::ExtBr, false));
    QVERIFY(setConfigInt(Cfg::ResizePic::MaxWidth, 640));
    QVERIFY(setConfigText(Cfg::Form::ShowDefault, u"2026-12-07"_s));
    const QByteArray file = app.readFile(u"\\setting\\config.ini");
    QVERIFY(file.contains("[login]\r\nAutoLogin=1\r\n"));
    QVERIFY(file.contains("[Format]\r\nExtBr=0\r\n"));
    QVERIFY(file.contains("[ResizePic]\r\nMaxWidth=640\r\n"));
    QVERIFY(file.contains("[Form]\r\nShowDefault=2026-12-07\r\n"));
}

void TestConfigKeys::write_readOnlyFile_fails()
{
    TempAppFolder app;
    QVERIFY(QFile::setPermissions(app.path(u"\\setting\\config.ini"), QFile::ReadOwner));
    QVERIFY(!setConfigInt(Cfg::Default::Form, 2));
    QCOMPARE(configValue(Cfg::Default::Form), u"0"_s);
}

void TestConfigKeys::register_namesAreDistinctAndSectionsAreInTheTemplate()
{
    TempAppFolder app;
    const QByteArray settings = app.readFile(u"\\setting\\config.ini");
    QSet<QString> seen;
    for (const ConfigKey &key : Cfg::all) {
        // Names are matched without regard to case in the file.
        const QString name = (key.sectionName() + u'.' + key.keyName()).toLower();
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
        const QByteArray header = "[" + key.sectionName().toLatin1() + "]";
        QVERIFY2(settings.contains(header), qPrintable(key.sectionName()));
    }
}

QTEST_GUILESS_MAIN(TestConfigKeys)
#include "tst_config_keys.moc"
