#include "cli_runner.h"
#include "testsupport/temp_app_folder.h"

#include <QImage>
#include <QImageReader>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCliCompress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compress_printsMessageAndWritesTarget();
    void compress_failure_exitsOneWithCode();
};

void TestCliCompress::compress_printsMessageAndWritesTarget()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[ResizePic]\nResize=1\nMaxWidth=300\nSmall=1\nStrong=3\n"_s));
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString source = app.folder().root() + u"/新闻图片.bmp"_s;
    QVERIFY(picture.save(source, "bmp"));

    const CliRun run = runCli(app.folder().root(), {u"compress"_s, source});
    const QString target = app.folder().root() + u"/新闻图片_new.bmp"_s;
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), u"压缩成功，图片已保存至："_s + target + u'\n');
    QImageReader reader(target);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(300, 200));
}

void TestCliCompress::compress_failure_exitsOneWithCode()
{
    TempAppFolder app;
    const CliRun missing = runCli(app.folder().root(), {u"compress"_s, app.folder().root() + u"/none.jpg"_s});
    QCOMPARE(missing.exitCode, 1);
    QCOMPARE(QString::fromUtf8(missing.out), u"没有找到图片。\n"_s);
    QCOMPARE(missing.err.trimmed(), QByteArray("code=1"));

    QCOMPARE(runCli(app.folder().root(), {u"compress"_s}).exitCode, 2);
}

QTEST_MAIN(TestCliCompress)
#include "tst_cli_compress.moc"
