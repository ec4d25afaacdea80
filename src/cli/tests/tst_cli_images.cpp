#include "cli_runner.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/test_pictures.h"

#include <QDir>
#include <QImageReader>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCliImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void images_printsSavedPicturesAndReportsFailures();
    void images_refusesWithoutPicturesStrengthOrFolder();
};

void TestCliImages::images_printsSavedPicturesAndReportsFailures()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[ResizePic]\nResize=1\nMaxWidth=300\nSmall=1\nStrong=2\n[Servers]\nTimeout=1\n"_s));
    FakeHttpServer server;
    server.on(u"/1.jpg"_s).respond(200, encodedPicture(photoImage(600, 400), "jpeg", 95), "image/jpeg");
    server.on(u"/stall.jpg"_s).silent();
    QImage flat(8, 8, QImage::Format_RGB32);
    flat.fill(Qt::green);
    const QByteArray tiny = encodedPicture(flat, "png");
    const QString first = u"http://"_s + server.address() + u"/1.jpg"_s;
    const QString stall = u"http://"_s + server.address() + u"/stall.jpg"_s;
    const QString article = u"<p>正文<img src='%1'><img src='%2'><img src='data:image/png;base64,%3'></p>"_s.arg(
        first, stall, QString::fromLatin1(tiny.toBase64()));
    const QString out = app.folder().root() + u"/图片"_s;

    const CliRun run = runCliServing(app.folder().root(), {u"images"_s, u"--out"_s, out}, article.toUtf8());
    QCOMPARE(run.exitCode, 1);
    const QStringList lines = run.outText().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(u"01.jpg\t"_s + first + u'\t'), qPrintable(lines[0]));
    QCOMPARE(lines[0].section(u'\t', 2).toLongLong(), QFileInfo(out + u"/01.jpg"_s).size());
    QCOMPARE(lines[1], u"03.png\tdata:image/png;base64,…\t%1"_s.arg(tiny.size()));
    // Not a terminal: the failure alone, no progress bar.
    QCOMPARE(run.errText(), u"02\t"_s + stall + u"\t超时\n"_s);
    QCOMPARE(QImageReader(out + u"/01.jpg"_s).size(), QSize(300, 200));
    QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name), (QStringList{u"01.jpg"_s, u"03.png"_s, u"list.txt"_s}));
}

void TestCliImages::images_refusesWithoutPicturesStrengthOrFolder()
{
    TempAppFolder app;
    const QString out = app.folder().root() + u"/out"_s;
    const CliRun none = runCli(app.folder().root(), {u"images"_s, u"--out"_s, out}, "<p>文字<img src='a.jpg'></p>");
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.errText(), u"文章中没有图片。\n"_s);
    QVERIFY(!QFileInfo::exists(out));

    // Compression asked for without its strength: nothing is fetched or made.
    QVERIFY(app.writeSettings(u"[ResizePic]\nSmall=1\nStrong=0\n"_s));
    const CliRun noStrength =
        runCli(app.folder().root(), {u"images"_s, u"--out"_s, out}, "<img src='http://127.0.0.1:1/a.jpg'>");
    QCOMPARE(noStrength.exitCode, 1);
    QCOMPARE(noStrength.errText(), u"zorvane-cli: 请选择压缩图片大小的强度。\n"_s);
    QVERIFY(!QFileInfo::exists(out));

    QCOMPARE(runCli(app.folder().root(), {u"images"_s}).exitCode, 2);
    QCOMPARE(runCli(app.folder().root(), {u"images"_s, u"--out"_s}).exitCode, 2);
}

QTEST_MAIN(TestCliImages)
#include "tst_cli_images.moc"
