#include "net/user_record.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestUserRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_keepsTheFileLayout_data();
    void roundTrip_keepsTheFileLayout();
    void shortFile_givesTheCompleteFields_data();
    void shortFile_givesTheCompleteFields();
    void longField_isCutOnACharacter_data();
    void longField_isCutOnACharacter();
    void file_emptyOrMissing_isNoSavedLogin();
    void write_isOwnerOnly_andRefusesAReadOnlyFile();
    void avatarFile_staysInItsFolder_data();
    void avatarFile_staysInItsFolder();
};

namespace {

QByteArray counted(const QByteArray &bytes)
{
    return QByteArray(1, char(bytes.size() & 0xFF)) + char(bytes.size() >> 8) + bytes;
}

const UserRecord full{
    u"张三"_s, u"p&ss 中"_s, u" sid=abc; auth=tok1;"_s, u"http://face/avatar.php?uid=1&size=small"_s, u"中级会员"_s,
    u"256"_s,  u"18"_s};

} // namespace

void TestUserRecord::roundTrip_keepsTheFileLayout_data()
{
    QTest::addColumn<UserRecord>("record");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray fullBytes;
    for (const QString &field :
         {full.userName, full.password, full.cookies, full.avatarUrl, full.group, full.points, full.coins})
        fullBytes += counted(toGbk(field));
    QTest::newRow("every field, Chinese as GBK") << full << fullBytes;
    QTest::newRow("name and password forgotten, the rest kept") << UserRecord{{}, {}, u"a=1;"_s, {}, {}, u"0"_s, {}}
                                                                << QByteArray("\0\0\0\0\x04\0a=1;\0\0\0\0\x01\0"
                                                                              "0\0\0",
                                                                              19);
    QTest::newRow("all empty") << UserRecord{} << QByteArray(14, '\0');
}

void TestUserRecord::roundTrip_keepsTheFileLayout()
{
    QFETCH(UserRecord, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(serializeUserRecord(record), bytes);
    QCOMPARE(parseUserRecord(bytes), record);

    TempAppFolder app;
    const QString path = userFilePath(app.folder());
    QVERIFY(writeUserFile(path, record));
    QCOMPARE(app.readFile(u"\\data\\user.dat"), bytes);
    QCOMPARE(readUserFile(path), std::optional<UserRecord>(record));
}

void TestUserRecord::shortFile_givesTheCompleteFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<UserRecord>("expected");
    const QByteArray whole = serializeUserRecord(full);
    const QByteArray threeFields =
        counted(toGbk(full.userName)) + counted(toGbk(full.password)) + counted(toGbk(full.cookies));
    QTest::newRow("one byte") << QByteArray("\x05", 1) << UserRecord{};
    QTest::newRow("three whole fields") << threeFields
                                        << UserRecord{full.userName, full.password, full.cookies, {}, {}, {}, {}};
    QTest::newRow("half a count after them")
        << threeFields + '\x09' << UserRecord{full.userName, full.password, full.cookies, {}, {}, {}, {}};
    QTest::newRow("the fourth field cut short")
        << threeFields + counted(toGbk(full.avatarUrl)).chopped(3)
        << UserRecord{full.userName, full.password, full.cookies, {}, {}, {}, {}};
    QTest::newRow("a count beyond the end") << QByteArray("\xff\xff"
                                                          "abc",
                                                          5)
                                            << UserRecord{};
    QTest::newRow("bytes after the seven fields") << whole + counted("eighth") + "junk" << full;
}

void TestUserRecord::shortFile_givesTheCompleteFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(UserRecord, expected);
    QCOMPARE(parseUserRecord(bytes), expected);
}

void TestUserRecord::longField_isCutOnACharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("two-byte characters") << QString(40000, u'中') << 65534;
    QTest::newRow("one letter, then two-byte characters") << (u"a"_s + QString(40000, u'中')) << 65535;
    QTest::newRow("letters") << QString(70000, u'x') << 65535;
    // Outside GBK a character takes four bytes.
    QString emoji;
    for (int i = 0; i < 20000; ++i)
        emoji += u"😀"_s;
    QTest::newRow("four-byte characters") << emoji << 65532;
    QTest::newRow("exactly at the limit") << QString(65535, u'x') << 65535;
}

void TestUserRecord::longField_isCutOnACharacter()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    const UserRecord record{u"u"_s, u"p"_s, text, {}, u"group"_s, {}, u"18"_s};
    const QByteArray file = serializeUserRecord(record);
    const UserRecord back = parseUserRecord(file);
    QCOMPARE(toGbk(back.cookies).size(), bytes);
    QVERIFY(text.startsWith(back.cookies));
    // The count is right, so the fields after it still read.
    QCOMPARE(back.group, u"group"_s);
    QCOMPARE(back.coins, u"18"_s);
}

void TestUserRecord::file_emptyOrMissing_isNoSavedLogin()
{
    TempAppFolder app;
    const QString path = userFilePath(app.folder());
    QVERIFY(app.writeFile(u"\\data\\user.dat", {}));
    QVERIFY(!readUserFile(path));
    QVERIFY(QFile::remove(path));
    QVERIFY(!readUserFile(path));
}

void TestUserRecord::write_isOwnerOnly_andRefusesAReadOnlyFile()
{
    TempAppFolder app;
    const QString path = userFilePath(app.folder());
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;

    // A new file, and one that others could read before.
    QVERIFY(QFile::remove(path));
    QVERIFY(writeUserFile(path, full));
    QCOMPARE(QFile::permissions(path) & (ownerOnly | others), ownerOnly);
    QVERIFY(QFile::setPermissions(path, ownerOnly | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(writeUserFile(path, UserRecord{}));
    QCOMPARE(QFile::permissions(path) & (ownerOnly | others), ownerOnly);

    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(!writeUserFile(path, full));
    QVERIFY(QFile::setPermissions(path, ownerOnly));
    QCOMPARE(readUserFile(path), std::optional<UserRecord>(UserRecord{}));
}

void TestUserRecord::avatarFile_staysInItsFolder_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("file");
    QTest::newRow("Chinese name") << u"张三"_s << u"张三.bmp"_s;
    QTest::newRow("climbing out") << u"../../setting/config"_s << u".._.._setting_config.bmp"_s;
    QTest::newRow("Windows separator") << u"a\\b"_s << u"a_b.bmp"_s;
}

void TestUserRecord::avatarFile_staysInItsFolder()
{
    QFETCH(QString, userName);
    QFETCH(QString, file);
    const AppFolder folder(u"/opt/zorvane"_s);
    QCOMPARE(avatarFilePath(folder, userName), u"/opt/zorvane/userface/"_s + file);
}

QTEST_GUILESS_MAIN(TestUserRecord)
#include "tst_user_record.moc"
