#include "text/gbk.h"
#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <unistd.h>

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
    void write_folderWithoutRoomForATemporaryFile_fails();
    void take_movesTheFileAwayWhole();
    void take_whileAWriterHandsOver_losesNoText();

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

void TestTextFile::write_folderWithoutRoomForATemporaryFile_fails()
{
    if (geteuid() == 0)
        QSKIP("root writes into any folder; zorvane-cli's settings test covers this as another user");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"config.ini"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
    file.close();
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    // The file itself is writable, but only in place, and in place is not
    // atomic.
    QVERIFY(!writeGbkFile(path, u"new"_s));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

void TestTextFile::take_movesTheFileAwayWhole()
{
    const QString path = write("\xD6\xD0\xCE\xC4<br>");
    QCOMPARE(takeTextFile(path), std::optional<QString>(u"中文<br>"_s));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QFileInfo(path).fileName()),
             QStringList());
    QCOMPARE(takeTextFile(path), std::nullopt);
    QCOMPARE(takeTextFile(m_dir.path()), std::nullopt); // a folder is no file to take
}

void TestTextFile::take_whileAWriterHandsOver_losesNoText()
{
    // A writer hands over texts one after another, as fast as it can, while
    // the taker takes; the last text written must always reach the taker.
    // Emptying the file after reading it lost the text written in between.
    const QString path = m_dir.filePath(u"cache.html"_s);
    for (int round = 0; round < 50; ++round) {
        const int texts = 6;
        std::atomic<bool> writing{true};
        std::atomic<int> failedWrites{0};
        std::thread writer([&] {
            for (int i = 1; i <= texts; ++i) {
                if (!writeGbkFile(path, u"round %1 text %2"_s.arg(round).arg(i)))
                    ++failedWrites;
            }
            writing = false;
        });
        QStringList taken;
        while (writing) {
            if (const std::optional<QString> text = takeTextFile(path))
                taken.append(*text);
        }
        writer.join();
        if (const std::optional<QString> text = takeTextFile(path))
            taken.append(*text);
        QCOMPARE(failedWrites.load(), 0);
        QVERIFY2(!taken.isEmpty() && taken.last() == u"round %1 text %2"_s.arg(round).arg(texts),
                 qPrintable(taken.join(u", "_s)));
        for (const QString &text : std::as_const(taken))
            QVERIFY2(text.startsWith(u"round %1 text "_s.arg(round)), qPrintable(text));
    }
}

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_text_file.moc"
