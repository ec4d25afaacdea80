#include "images/resize_pic.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/test_pictures.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString save(const TempAppFolder &app, const QString &name, const QImage &image, const char *format, int quality = -1)
{
    const QString path = app.folder().root() + u"/pictures/"_s + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    return writer.write(image) ? path : QString();
}

void configure(const TempAppFolder &app, const QString &resize, const QString &maxWidth, const QString &maxHeight,
               const QString &small, const QString &strong)
{
    QVERIFY(app.writeSettings(u"[ResizePic]\nResize=%1\nMaxWidth=%2\nMaxHeight=%3\nSmall=%4\nStrong=%5\n"_s.arg(
        resize, maxWidth, maxHeight, small, strong)));
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the file holds, whatever its name says.
QByteArray formatOf(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

// The command's way: the settings file read once, then the compression.
ResizePicResult compressAsConfigured(const QString &source, const QString &target)
{
    return ResizePic(source, target, ResizePicOptions::fromSettings());
}

QImage loaded(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace

class TestResizePic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paths_data();
    void paths();
    void limits_fitPictureInSinglePrecision_data();
    void limits_fitPictureInSinglePrecision();
    void strength_encodesAtItsQuality_data();
    void strength_encodesAtItsQuality();
    void gifSource_savedUnderItsNameHoldingJpeg();
    void resizeOnly_bitmapWorkingFileIsReducedOnlyWhenLarger();
    void transparentAndTurnedPictures_areFlattenedAndUpright();
    void failures_data();
    void failures();
};

void TestResizePic::paths_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("working");
    QTest::newRow("extension") << u"/home/ed/photo.jpg"_s << u"/home/ed/photo_new.jpg"_s << u"cache.jpg"_s;
    QTest::newRow("last dot of several") << u"/p/a.tar.GIF"_s << u"/p/a.tar_new.GIF"_s << u"cache.GIF"_s;
    QTest::newRow("no dot") << u"/p/photo"_s << u"/p/photo_new"_s << u"cache"_s;
    QTest::newRow("dot only in a folder") << u"/p.d/photo"_s << u"/p.d/photo_new"_s << u"cache"_s;
    QTest::newRow("trailing dot") << u"/p/photo."_s << u"/p/photo_new."_s << u"cache."_s;
    QTest::newRow("chinese name") << u"/图片/新闻.jpeg"_s << u"/图片/新闻_new.jpeg"_s << u"cache.jpeg"_s;
    QTest::newRow("backslash stays in the name") << u"/p/x.a\\b"_s << u"/p/x_new.a\\b"_s << u"cache.a\\b"_s;
}

void TestResizePic::paths()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, working);
    TempAppFolder app;
    QCOMPARE(resizePicTarget(source), target);
    QCOMPARE(resizePicWorkingFile(source), app.folder().root() + u"/data/"_s + working);
}

void TestResizePic::limits_fitPictureInSinglePrecision_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QString>("maxWidth");
    QTest::addColumn<QString>("maxHeight");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("width then height") << QSize(2000, 1000) << u"800"_s << u"300"_s << QSize(600, 300);
    QTest::newRow("width only") << QSize(2000, 1000) << u"800"_s << u"0"_s << QSize(800, 400);
    QTest::newRow("height only") << QSize(1000, 2000) << u""_s << u"500"_s << QSize(250, 500);
    QTest::newRow("800.9 counts as 800") << QSize(2000, 1000) << u"800.9"_s << u""_s << QSize(800, 400);
    QTest::newRow("abc is no limit") << QSize(2000, 1000) << u"abc"_s << u"-5"_s << QSize(2000, 1000);
    QTest::newRow("within the limits") << QSize(640, 480) << u"800"_s << u"600"_s << QSize(640, 480);
    // 0.53f × 100 is 52.99999… in single precision; exact arithmetic gives 53.
    QTest::newRow("single precision rounds down") << QSize(200, 106) << u"100"_s << u""_s << QSize(100, 52);
    QTest::newRow("flat picture keeps a pixel") << QSize(4000, 2) << u"100"_s << u""_s << QSize(100, 1);
}

void TestResizePic::limits_fitPictureInSinglePrecision()
{
    QFETCH(QSize, source);
    QFETCH(QString, maxWidth);
    QFETCH(QString, maxHeight);
    QFETCH(QSize, expected);
    TempAppFolder app;
    configure(app, u"1"_s, maxWidth, maxHeight, u"0"_s, u"0"_s);
    const QString path = save(app, u"photo.jpg"_s, photoImage(source.width(), source.height()), "jpeg", 95);
    const QByteArray before = bytesOf(path);

    const ResizePicResult result = compressAsConfigured(path, resizePicTarget(path));
    QCOMPARE(result.message, u"压缩成功，图片已保存至："_s + resizePicTarget(path));
    QCOMPARE(result.code, qint16(0));
    QCOMPARE(loaded(resizePicTarget(path)).size(), expected);
    QCOMPARE(bytesOf(path), before);
}

void TestResizePic::strength_encodesAtItsQuality_data()
{
    QTest::addColumn<QString>("strong");
    QTest::addColumn<int>("quality");
    QTest::newRow("low") << u"1"_s << 80;
    QTest::newRow("medium") << u"2"_s << 50;
    QTest::newRow("high") << u"3"_s << 30;
}

void TestResizePic::strength_encodesAtItsQuality()
{
    QFETCH(QString, strong);
    QFETCH(int, quality);
    TempAppFolder app;
    configure(app, u"0"_s, u"10"_s, u"10"_s, u"1"_s, strong);
    const QImage picture = photoImage(320, 240);
    const QString path = save(app, u"photo.bmp"_s, picture, "bmp");

    const QByteArray expected = encodedPicture(picture, "jpeg", quality);
    QVERIFY(!expected.isEmpty());

    QCOMPARE(compressAsConfigured(path, resizePicTarget(path)).code, qint16(0));
    QCOMPARE(bytesOf(resizePicTarget(path)), expected);
    QCOMPARE(app.readFile(u"\\data\\cache.bmp"), expected);
}

void TestResizePic::gifSource_savedUnderItsNameHoldingJpeg()
{
    TempAppFolder app;
    configure(app, u"0"_s, u""_s, u""_s, u"1"_s, u"2"_s);
    const QString path = app.folder().root() + u"/pictures/photo.gif"_s;
    QVERIFY(app.writeFile(u"\\pictures\\photo.gif", gifBytes({photoImage(400, 300)})));
    const QByteArray before = bytesOf(path);
    const QString target = app.folder().root() + u"/pictures/photo_new.gif"_s;
    QVERIFY(app.writeFile(u"\\pictures\\photo_new.gif", "an older result"));

    const ResizePicResult result = compressAsConfigured(path, target);
    QCOMPARE(result.code, qint16(0));
    QCOMPARE(formatOf(target), QByteArray("jpeg"));
    QCOMPARE(loaded(target).size(), QSize(400, 300));
    QCOMPARE(app.readFile(u"\\data\\cache.gif"), bytesOf(target));
    QCOMPARE(bytesOf(path), before);
}

void TestResizePic::resizeOnly_bitmapWorkingFileIsReducedOnlyWhenLarger()
{
    TempAppFolder app;
    configure(app, u"1"_s, u"300"_s, u""_s, u"0"_s, u"0"_s);

    // A bitmap of the smaller size is already smaller than a bitmap source.
    const QString bitmap = save(app, u"scan.bmp"_s, photoImage(600, 400), "bmp");
    QCOMPARE(compressAsConfigured(bitmap, resizePicTarget(bitmap)).code, qint16(0));
    QCOMPARE(formatOf(resizePicTarget(bitmap)), QByteArray("bmp"));
    QCOMPARE(loaded(resizePicTarget(bitmap)).size(), QSize(300, 200));

    // Against a JPEG source the bitmap is far larger, so it is re-encoded.
    const QString jpeg = save(app, u"photo.jpg"_s, photoImage(600, 400), "jpeg", 90);
    QCOMPARE(compressAsConfigured(jpeg, resizePicTarget(jpeg)).code, qint16(0));
    QCOMPARE(formatOf(resizePicTarget(jpeg)), QByteArray("jpeg"));
    QCOMPARE(formatOf(app.path(u"\\data\\cache.jpg")), QByteArray("jpeg"));
    QCOMPARE(loaded(resizePicTarget(jpeg)).size(), QSize(300, 200));
}

void TestResizePic::transparentAndTurnedPictures_areFlattenedAndUpright()
{
    TempAppFolder app;
    configure(app, u"0"_s, u""_s, u""_s, u"1"_s, u"1"_s);
    QImage clear(64, 32, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QString png = save(app, u"logo.png"_s, clear, "png");
    QCOMPARE(compressAsConfigured(png, resizePicTarget(png)).code, qint16(4)); // tiny PNG; look at the working file
    const QColor corner = loaded(app.path(u"\\data\\cache.png")).pixelColor(0, 0);
    QVERIFY2(corner.lightness() > 240, qPrintable(corner.name()));

    configure(app, u"1"_s, u"1000"_s, u""_s, u"0"_s, u"0"_s);
    const QString path = app.folder().root() + u"/pictures/phone.jpg"_s;
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(photoImage(200, 100)));
    QCOMPARE(compressAsConfigured(path, resizePicTarget(path)).code, qint16(0));
    QCOMPARE(loaded(resizePicTarget(path)).size(), QSize(100, 200));
}

void TestResizePic::failures_data()
{
    QTest::addColumn<QString>("source");       // "photo", "tiny", "missing", or the file's bytes
    QTest::addColumn<QStringList>("settings"); // Resize, MaxWidth, MaxHeight, Small, Strong
    QTest::addColumn<QString>("target");       // "default", "source" or a path below the application folder
    QTest::addColumn<bool>("breakDataFolder");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("workingWritten");

    const QStringList both{u"1"_s, u"100"_s, u"100"_s, u"1"_s, u"2"_s};
    const QString notFound = u"没有找到图片。"_s;
    const QString notLoaded = u"载入图片失败。"_s;
    const QString notSaved = u"保存图片失败"_s;
    QTest::newRow("missing file") << u"missing"_s << both << u"default"_s << false << 1 << notFound << false;
    QTest::newRow("not a picture") << u"GIF89a but not really"_s << both << u"default"_s << false << 1 << notLoaded
                                   << false;
    QTest::newRow("empty file") << u""_s << both << u"default"_s << false << 1 << notLoaded << false;
    QTest::newRow("nothing chosen") << u"photo"_s << QStringList{u"0"_s, u"100"_s, u""_s, u""_s, u"2"_s} << u"default"_s
                                    << false << 0 << u"请先在设置中选择压缩尺寸或压缩质量。"_s << false;
    QTest::newRow("flags other than 1 choose nothing")
        << u"photo"_s << QStringList{u"2"_s, u"100"_s, u""_s, u"2"_s, u"2"_s} << u"default"_s << false << 0
        << u"请先在设置中选择压缩尺寸或压缩质量。"_s << false;
    QTest::newRow("no strength chosen") << u"photo"_s << QStringList{u"1"_s, u"100"_s, u""_s, u"1"_s, u""_s}
                                        << u"default"_s << false << 2 << u"请选择压缩图片大小的强度。"_s << false;
    QTest::newRow("unknown strength") << u"photo"_s << QStringList{u"0"_s, u""_s, u""_s, u"1"_s, u"4"_s} << u"default"_s
                                      << false << 3 << notSaved << false;
    QTest::newRow("even quality 10 larger than a tiny source")
        << u"tiny"_s << both << u"default"_s << false << 4 << u"图片已经很小了，无需压缩。"_s << true;
    QTest::newRow("target folder missing")
        << u"photo"_s << both << u"/no/such/folder/x.jpg"_s << false << 3 << notSaved << true;
    QTest::newRow("target is the source") << u"photo"_s << both << u"source"_s << false << 3 << notSaved << false;
    QTest::newRow("working file cannot be written")
        << u"photo"_s << both << u"default"_s << true << 3 << notSaved << false;
}

void TestResizePic::failures()
{
    QFETCH(QString, source);
    QFETCH(QStringList, settings);
    QFETCH(QString, target);
    QFETCH(bool, breakDataFolder);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(bool, workingWritten);
    TempAppFolder app;
    configure(app, settings[0], settings[1], settings[2], settings[3], settings[4]);

    QString path = app.folder().root() + u"/pictures/photo.jpg"_s;
    if (source == u"photo")
        path = save(app, u"photo.jpg"_s, photoImage(400, 300), "jpeg", 95);
    else if (source == u"tiny")
        path = save(app, u"tiny.png"_s, QImage(8, 8, QImage::Format_Mono), "png");
    else if (source != u"missing")
        QVERIFY(app.writeFile(u"\\pictures\\photo.jpg", source.toLatin1()));
    if (breakDataFolder) {
        QVERIFY(QDir(app.path(u"\\data")).removeRecursively());
        QVERIFY(app.writeFile(u"\\data", "a file where the folder should be"));
    }
    const QString targetPath = target == u"default"  ? resizePicTarget(path)
                               : target == u"source" ? path
                                                     : app.folder().root() + target;
    const QByteArray before = bytesOf(path);

    const ResizePicResult result = compressAsConfigured(path, targetPath);
    QCOMPARE(result.message, message);
    QCOMPARE(int(result.code), code);
    QCOMPARE(bytesOf(path), before);
    if (target != u"source")
        QVERIFY(!QFileInfo::exists(targetPath));
    QCOMPARE(QFileInfo::exists(resizePicWorkingFile(path)), workingWritten);
}

QTEST_MAIN(TestResizePic)
#include "tst_resize_pic.moc"
