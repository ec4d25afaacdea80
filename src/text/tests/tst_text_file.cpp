#include "text/gbk.h"
#include "text/text_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestTextFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void read_missingFile_isEmpty();
    void writeGbk_replacesWholeFile();
    void write_readOnlyFile_failsAndKeepsOld();
    void write_missingFolder_fails();

private:
    QString write(const QByteArray &bytes);
    QTemporaryDir m_dir;
    int m_count = 0;
};

QString TestTextFile::write(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QString::number(++m_count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

void TestTextFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("GBK library with CR LF")
        << QByteArray("\xB0\xB4\xD7\xB0|\xB0\xB2\xD7\xB0\r\n") << u"按装|安装\r\n"_s;
    QTest::newRow("UTF-8 without BOM") << QByteArray("\xE4\xB8\xAD\xE6\x96\x87\n") << u"中文\n"_s;
    QTest::newRow("UTF-8 BOM dropped") << QByteArray("\xEF\xBB\xBF"
                                                     "abc")
                                       << "abc";
    QTest::newRow("plain ASCII") << QByteArray("a\r\nb") << "a\r\nb";
    QTest::newRow("line ends untouched") << QByteArray("a\rb\nc\r\n") << "a\rb\nc\r\n";
    // D6 D0 CE C4 happens to be invalid UTF-8, so it reads as GBK.
    QTest::newRow("GBK that is not UTF-8") << QByteArray("\xD6\xD0\xCE\xC4") << u"中文"_s;
    QTest::newRow("empty file") << QByteArray() << "";
}

void TestTextFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(readTextFile(write(bytes)), expected);
}

void TestTextFile::read_missingFile_isEmpty()
{
    QCOMPARE(readTextFile(m_dir.filePath(u"nowhere.dat"_s)), QString());
    QCOMPARE(readTextFile(m_dir.path()), QString()); // a folder is not a file
}

void TestTextFile::writeGbk_replacesWholeFile()
{
    const QString path = write("a much longer old content than the new one");
    QVERIFY(writeGbkFile(path, u"中文\r\n"_s));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xD6\xD0\xCE\xC4\r\n"));
}

void TestTextFile::write_readOnlyFile_failsAndKeepsOld()
{
    const QString path = write("old");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(!writeGbkFile(path, u"new"_s));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

void TestTextFile::write_missingFolder_fails()
{
    QVERIFY(!writeGbkFile(m_dir.filePath(u"missing/folder/file.txt"_s), u"x"_s));
    QVERIFY(!QFile::exists(m_dir.filePath(u"missing"_s)));
}

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_text_file.moc"
