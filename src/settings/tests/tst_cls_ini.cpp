#include "settings/app_folder.h"
#include "settings/cls_ini.h"
#include "settings/config.h"
#include "testsupport/temp_app_folder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestClsIni : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void read_data();
    void read();
    void read_missingFile_isEmpty();
    void read_longValue_isCutTo1023Bytes_data();
    void read_longValue_isCutTo1023Bytes();
    void write_newSectionThenReplaceInPlace();
    void write_newKeyJoinsItsSection();
    void write_keepsOtherLinesByteForByte();
    void write_valueWithLineBreak_staysOneLine();
    void write_readOnlyFile_failsAndKeepsFile();
    void write_missingFolder_failsAndCreatesNothing();
    void delete_keyAndSection();
    void accessors_useTheApplicationFolder();
    void appFolder_mapsSystemPaths_data();
    void appFolder_mapsSystemPaths();

private:
    QString file(const QByteArray &bytes);
    QByteArray contents(const QString &path);
    QTemporaryDir m_dir;
    QString m_path;
};

void TestClsIni::init()
{
    m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".ini");
    QFile::remove(m_path);
}

QString TestClsIni::file(const QByteArray &bytes)
{
    QFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return m_path;
}

QByteArray TestClsIni::contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestClsIni::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QByteArray basic("[Format]\r\nSign= abc \r\nEmpty=   \r\nName=\xD6\xD0\xCE\xC4\r\n[YC]\r\nKeyword=1\r\n");
    QTest::newRow("trimmed") << basic << "Format"
                             << "Sign"
                             << "abc";
    QTest::newRow("only spaces") << basic << "Format"
                                 << "Empty"
                                 << "";
    QTest::newRow("GBK value") << basic << "Format"
                               << "Name" << u"中文"_s;
    QTest::newRow("missing key") << basic << "Format"
                                 << "Nope"
                                 << "";
    QTest::newRow("missing section") << basic << "Nope"
                                     << "Sign"
                                     << "";
    QTest::newRow("key of another section") << basic << "YC"
                                            << "Sign"
                                            << "";
    QTest::newRow("section and key ignore case") << basic << "format"
                                                 << "SIGN"
                                                 << "abc";
    QTest::newRow("double quotes dropped, then trimmed") << QByteArray("[s]\nk=\" a b \"\n") << "s"
                                                         << "k"
                                                         << "a b";
    QTest::newRow("unmatched quote kept") << QByteArray("[s]\nk=\"ab\n") << "s"
                                          << "k"
                                          << "\"ab";
    QTest::newRow("LF line ends") << QByteArray("[s]\nk=v\n") << "s"
                                  << "k"
                                  << "v";
    QTest::newRow("blanks around the equals sign") << QByteArray("[s]\n k \t=\t v\n") << "s"
                                                   << "k"
                                                   << "v";
    QTest::newRow("value holding equals signs") << QByteArray("[s]\nk=a=b\n") << "s"
                                                << "k"
                                                << "a=b";
    QTest::newRow("first of two keys wins") << QByteArray("[s]\nk=1\nk=2\n") << "s"
                                            << "k"
                                            << "1";
    QTest::newRow("no line end at the end") << QByteArray("[s]\nk=last") << "s"
                                            << "k"
                                            << "last";
    QTest::newRow("spaces inside brackets") << QByteArray("[ s ]\nk=v\n") << "s"
                                            << "k"
                                            << "v";
}

void TestClsIni::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(Cls_Ini(file(bytes)).GetIniKey(section, key), expected);
}

void TestClsIni::read_missingFile_isEmpty()
{
    QCOMPARE(Cls_Ini(m_dir.filePath(u"none.ini"_s)).GetIniKey(u"a"_s, u"b"_s), QString());
    QCOMPARE(Cls_Ini().GetIniKey(u"a"_s, u"b"_s), QString());
}

void TestClsIni::read_longValue_isCutTo1023Bytes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1500 ASCII characters") << QString(1500, u'x') << QString(1023, u'x');
    QTest::newRow("exactly 1023") << QString(1023, u'y') << QString(1023, u'y');
    // 600 two-byte characters: 1023 bytes hold 511 of them and half of one,
    // and the half is dropped rather than read as garbage.
    QTest::newRow("Chinese cut on a character boundary") << QString(600, QChar(0x4E2D)) << QString(511, QChar(0x4E2D));
    QTest::newRow("odd start shifts the boundary")
        << u"a"_s + QString(600, QChar(0x4E2D)) << u"a"_s + QString(511, QChar(0x4E2D));
}

void TestClsIni::read_longValue_isCutTo1023Bytes()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const Cls_Ini ini(m_path);
    QVERIFY(ini.WriteIniKey(u"s"_s, u"k"_s, value));
    QCOMPARE(ini.GetIniKey(u"s"_s, u"k"_s), expected);
}

void TestClsIni::write_newSectionThenReplaceInPlace()
{
    const Cls_Ini ini(file("[A]\r\nx=1\r\n"));
    QVERIFY(ini.WriteIniKey(u"B"_s, u"y"_s, u"2"_s));
    QCOMPARE(contents(m_path), QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"));
    QVERIFY(ini.WriteIniKey(u"A"_s, u"x"_s, u"changed"_s));
    QCOMPARE(contents(m_path), QByteArray("[A]\r\nx=changed\r\n[B]\r\ny=2\r\n"));
    QVERIFY(ini.WriteIniKey(u"b"_s, u"Y"_s, u"3"_s)); // matched without regard to case
    QCOMPARE(ini.GetIniKey(u"B"_s, u"y"_s), u"3"_s);
    QCOMPARE(contents(m_path).count("[B]"), 1);
}

void TestClsIni::write_newKeyJoinsItsSection()
{
    const Cls_Ini ini(file("[A]\r\nx=1\r\n\r\n[B]\r\ny=2"));
    QVERIFY(ini.WriteIniKey(u"A"_s, u"z"_s, u"3"_s));
    QVERIFY(ini.WriteIniKey(u"B"_s, u"w"_s, u"4"_s));
    QCOMPARE(contents(m_path), QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\nw=4\r\n"));
}

void TestClsIni::write_keepsOtherLinesByteForByte()
{
    // Bytes that are not valid text in any code page must survive a write
    // elsewhere in the file.
    const QByteArray odd("; comment \xFF\xFE\r\n[A]\r\nraw=\x80\x81\xFE\r\nk=old\r\n");
    const Cls_Ini ini(file(odd));
    QVERIFY(ini.WriteIniKey(u"A"_s, u"k"_s, u"中文签名"_s));
    QCOMPARE(contents(m_path),
             QByteArray("; comment \xFF\xFE\r\n[A]\r\nraw=\x80\x81\xFE\r\nk=\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB\r\n"));
}

void TestClsIni::write_valueWithLineBreak_staysOneLine()
{
    const Cls_Ini ini(m_path);
    QVERIFY(ini.WriteIniKey(u"A"_s, u"k"_s, u"a\r\n[B]\r\nx=1"_s));
    QCOMPARE(ini.GetIniKey(u"B"_s, u"x"_s), QString());
    QCOMPARE(ini.GetIniKey(u"A"_s, u"k"_s), u"a  [B]  x=1"_s);
}

void TestClsIni::write_readOnlyFile_failsAndKeepsFile()
{
    const Cls_Ini ini(file("[A]\r\nk=1\r\n"));
    QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(!ini.WriteIniKey(u"A"_s, u"k"_s, u"2"_s));
    QCOMPARE(ini.GetIniKey(u"A"_s, u"k"_s), u"1"_s);
    QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner));
}

void TestClsIni::write_missingFolder_failsAndCreatesNothing()
{
    const QString path = m_dir.filePath(u"setting-missing/config.ini"_s);
    QVERIFY(!Cls_Ini(path).WriteIniKey(u"A"_s, u"k"_s, u"1"_s));
    QVERIFY(!QFile::exists(path));
}

void TestClsIni::delete_keyAndSection()
{
    const Cls_Ini ini(file("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n"));
    QVERIFY(ini.DelIniKey(u"A"_s, u"X"_s));
    QCOMPARE(contents(m_path), QByteArray("[A]\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n"));
    QVERIFY(ini.DelIniSec(u"b"_s));
    QCOMPARE(contents(m_path), QByteArray("[A]\r\ny=2\r\n[C]\r\nw=4\r\n"));
    QVERIFY(ini.DelIniKey(u"none"_s, u"y"_s));
    QCOMPARE(ini.GetIniKey(u"C"_s, u"w"_s), u"4"_s);
}

void TestClsIni::accessors_useTheApplicationFolder()
{
    TempAppFolder app;
    QVERIFY(app.isValid());
    QCOMPARE(getConfig(u"Sign"_s, u"Format"_s), QString());
    QVERIFY(setConfig(u"Sign"_s, u"中文签名"_s, u"Format"_s));
    QCOMPARE(getConfig(u"Sign"_s, u"Format"_s), u"中文签名"_s);
    QVERIFY(app.readFile(u"\\setting\\config.ini").contains("Sign=\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB\r\n"));
    // The section already present in a fresh installation is reused.
    QCOMPARE(app.readFile(u"\\setting\\config.ini").count("[Format]"), 1);
}

void TestClsIni::appFolder_mapsSystemPaths_data()
{
    QTest::addColumn<QString>("systemPath");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file") << "\\setting\\config.ini"
                          << "/opt/z/setting/config.ini";
    QTest::newRow("folder keeps its slash") << "\\update\\"
                                            << "/opt/z/update/";
    QTest::newRow("no leading backslash") << "data\\same.dat"
                                          << "/opt/z/data/same.dat";
}

void TestClsIni::appFolder_mapsSystemPaths()
{
    QFETCH(QString, systemPath);
    QFETCH(QString, expected);
    QCOMPARE(AppFolder(u"/opt/z/"_s).path(systemPath), expected);
}

QTEST_GUILESS_MAIN(TestClsIni)
#include "tst_cls_ini.moc"
