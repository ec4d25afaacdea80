#include "images/article_pictures.h"
#include "images/local_pictures.h"
#include "net/servers.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/test_pictures.h"

#include <QDir>
#include <QImageReader>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Each picture is scaled to 400 wide at most and recompressed at medium strength.
const QString Settings = u"[ResizePic]\nResize=1\nMaxWidth=400\nMaxHeight=0\nSmall=1\nStrong=2\n"
                         u"[Servers]\nTimeout=1\n"_s;

LocalPicturesResult saveAll(const QString &html, const QString &folder, LocalPictures *pictures = nullptr)
{
    LocalPictures own;
    LocalPictures &saver = pictures ? *pictures : own;
    std::optional<LocalPicturesResult> result;
    QObject::connect(&saver, &LocalPictures::finished, &saver,
                     [&result](const LocalPicturesResult &done) { result = done; });
    if (!saver.start(articlePictures(html), folder, ResizePicOptions::fromSettings(), serverTimeout()))
        return {};
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, 60000))
        return {};
    return result.value_or(LocalPicturesResult{});
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withoutLength(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nConnection: close\r\n\r\n" + body;
}

// A bitmap's header announcing width × height, without the pixels.
QByteArray bitmapHeader(int width, int height)
{
    QByteArray header("BM");
    auto le = [&header](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header.append(char((value >> (8 * i)) & 0xFF));
    };
    for (const quint32 field : {54u, 0u, 54u, 40u, quint32(width), quint32(height)})
        le(field, 4);
    le(1, 2);  // planes
    le(24, 2); // bits per pixel
    return header.append(24, '\0');
}

QByteArray redirectTo(const QByteArray &location)
{
    return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n";
}

} // namespace

class TestLocalPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void articlePictures_whichSourcesArePictures_data();
    void articlePictures_whichSourcesArePictures();
    void picture_endsAsFileOrReason_data();
    void picture_endsAsFileOrReason();
    void article_numbersInOrderAndFetchesAnAddressOnce();
    void fetches_atMostFourAtATime();
};

void TestLocalPictures::articlePictures_whichSourcesArePictures_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QByteArray>("dataBytes"); // what the first data: address decodes to

    QTest::newRow("web addresses, blanks trimmed")
        << u"<img src=' http://a.cn/1.jpg '><p><img src=\"HTTPS://b.cn/2.png\"></p>"_s
        << QStringList{u"http://a.cn/1.jpg"_s, u"HTTPS://b.cn/2.png"_s} << QByteArray();
    QTest::newRow("not web pictures") << u"<img src='1.jpg'><img src='//a.cn/2.jpg'><img src='file:///etc/passwd'>"
                                         "<img src='javascript:alert(1)'><img><img src='data:text/html,<b>x</b>'>"_s
                                      << QStringList() << QByteArray();
    QTest::newRow("one fetch per address, fragments aside")
        << u"<img src='http://a.cn/1.jpg#x'><img src='http://a.cn/1.jpg'><img src='http://A.CN/1.jpg#y'>"_s
        << QStringList{u"http://a.cn/1.jpg#x"_s} << QByteArray();
    QTest::newRow("line breaks dropped, blanks in base64 skipped")
        << u"<img src='data:image/png;base64,aGVs\n bG8='>"_s << QStringList{u"data:image/png;base64,aGVs bG8="_s}
        << QByteArray("hello");
    QTest::newRow("percent-encoded data")
        << u"<img src='DATA:Image/GIF,a%20b'>"_s << QStringList{u"DATA:Image/GIF,a%20b"_s} << QByteArray("a b");
    QTest::newRow("broken base64 is still listed, and decodes to nothing")
        << u"<img src='data:image/png;base64,@@@'>"_s << QStringList{u"data:image/png;base64,@@@"_s} << QByteArray();
}

void TestLocalPictures::articlePictures_whichSourcesArePictures()
{
    QFETCH(QString, html);
    QFETCH(QStringList, addresses);
    QFETCH(QByteArray, dataBytes);
    QStringList found;
    for (const ArticlePicture &picture : articlePictures(html))
        found << picture.address;
    QCOMPARE(found, addresses);
    if (!found.isEmpty() && found.first().startsWith(u"data:", Qt::CaseInsensitive))
        QCOMPARE(dataPictureBytes(found.first()).value_or(QByteArray()), dataBytes);
}

void TestLocalPictures::picture_endsAsFileOrReason_data()
{
    QTest::addColumn<QString>("source");         // the img's src; a path is on the fake server
    QTest::addColumn<QStringList>("paths");      // the server's routes …
    QTest::addColumn<QByteArrayList>("replies"); // … and their replies ("silent": never answers)
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QByteArray>("kept");  // the served picture, when it must be kept as it came
    QTest::addColumn<QSize>("storedSize"); // otherwise the compressed picture's size

    const QByteArray jpeg = encodedPicture(photoImage(800, 600), "jpeg", 95);
    const QByteArray png = encodedPicture(photoImage(400, 300), "png");
    const QByteArray gif = gifBytes({photoImage(400, 300)});
    const QByteArray animated = gifBytes({photoImage(400, 300, 1), photoImage(400, 300, 2)});
    QImage flat(16, 16, QImage::Format_RGB32);
    flat.fill(Qt::darkRed);
    const QByteArray tiny = encodedPicture(flat, "png");
    const QByteArray huge(30 * 1024 * 1024, 'x');
    const auto ok = [](const QByteArray &body) { return FakeHttpServer::httpResponse(200, body, "image/jpeg"); };

    QTest::newRow("jpeg scaled and recompressed") << u"/a.jpg"_s << QStringList{u"/a.jpg"_s} << QByteArrayList{ok(jpeg)}
                                                  << u"01.jpg"_s << QString() << QByteArray() << QSize(400, 300);
    QTest::newRow("png recompressed as jpeg") << u"/a.png"_s << QStringList{u"/a.png"_s} << QByteArrayList{ok(png)}
                                              << u"01.jpg"_s << QString() << QByteArray() << QSize(400, 300);
    QTest::newRow("gif recompressed as jpeg") << u"/a.gif"_s << QStringList{u"/a.gif"_s} << QByteArrayList{ok(gif)}
                                              << u"01.jpg"_s << QString() << QByteArray() << QSize(400, 300);
    QTest::newRow("already smaller than its compression")
        << u"/t.png"_s << QStringList{u"/t.png"_s} << QByteArrayList{ok(tiny)} << u"01.png"_s << QString() << tiny
        << QSize();
    QTest::newRow("animated gif keeps its frames")
        << u"/m.gif"_s << QStringList{u"/m.gif"_s} << QByteArrayList{ok(animated)} << u"01.gif"_s << QString()
        << animated << QSize();
    QTest::newRow("data: picture") << u"data:image/png;base64,"_s + QString::fromLatin1(tiny.toBase64())
                                   << QStringList() << QByteArrayList() << u"01.png"_s << QString() << tiny << QSize();
    QTest::newRow("three redirects, relative and absolute, reach the picture")
        << u"/r1"_s << QStringList{u"/r1"_s, u"/r2"_s, u"/r3"_s, u"/a.jpg"_s}
        << QByteArrayList{redirectTo("/r2"), redirectTo("http://%ADDRESS%/r3"), redirectTo("a.jpg"), ok(jpeg)}
        << u"01.jpg"_s << QString() << QByteArray() << QSize(400, 300);
    QTest::newRow("a fourth redirect is refused")
        << u"/r1"_s << QStringList{u"/r1"_s, u"/r2"_s, u"/r3"_s, u"/r4"_s, u"/a.jpg"_s}
        << QByteArrayList{redirectTo("/r2"), redirectTo("/r3"), redirectTo("/r4"), redirectTo("/a.jpg"), ok(jpeg)}
        << QString() << u"重定向超过3次"_s << QByteArray() << QSize();
    QTest::newRow("redirect to file:") << u"/r1"_s << QStringList{u"/r1"_s}
                                       << QByteArrayList{redirectTo("file:///etc/passwd")} << QString()
                                       << u"重定向到非网页地址：file:///etc/passwd"_s << QByteArray() << QSize();
    QTest::newRow("404") << u"/gone.jpg"_s << QStringList() << QByteArrayList() << QString() << u"HTTP 404"_s
                         << QByteArray() << QSize();
    QTest::newRow("html served as a picture")
        << u"/a.jpg"_s << QStringList{u"/a.jpg"_s} << QByteArrayList{ok("<html><body>防盗链</body></html>")}
        << QString() << u"不是图片"_s << QByteArray() << QSize();
    QTest::newRow("100 megapixels announced")
        << u"/bomb.bmp"_s << QStringList{u"/bomb.bmp"_s} << QByteArrayList{ok(bitmapHeader(10000, 10000))} << QString()
        << u"尺寸过大：10000×10000"_s << QByteArray() << QSize();
    QTest::newRow("30 MB announced") << u"/big.jpg"_s << QStringList{u"/big.jpg"_s} << QByteArrayList{ok(huge)}
                                     << QString() << u"超过20MB"_s << QByteArray() << QSize();
    QTest::newRow("30 MB without a length")
        << u"/big.jpg"_s << QStringList{u"/big.jpg"_s} << QByteArrayList{withoutLength(huge)} << QString()
        << u"超过20MB"_s << QByteArray() << QSize();
    QTest::newRow("stall") << u"/slow.jpg"_s << QStringList{u"/slow.jpg"_s} << QByteArrayList{"silent"} << QString()
                           << u"超时"_s << QByteArray() << QSize();
}

void TestLocalPictures::picture_endsAsFileOrReason()
{
    QFETCH(QString, source);
    QFETCH(QStringList, paths);
    QFETCH(QByteArrayList, replies);
    QFETCH(QString, fileName);
    QFETCH(QString, failure);
    QFETCH(QByteArray, kept);
    QFETCH(QSize, storedSize);
    TempAppFolder app;
    QVERIFY(app.writeSettings(Settings));
    FakeHttpServer server;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QByteArray reply = replies[i];
        if (reply == "silent")
            server.on(paths[i]).silent();
        else if (reply.contains("Connection: close"))
            server.on(paths[i]).reply(reply).closeEarly();
        else
            server.on(paths[i]).reply(reply.replace("%ADDRESS%", server.address().toLatin1()));
    }
    const QString address = source.startsWith(u'/') ? u"http://"_s + server.address() + source : source;
    const QString folder = app.path(u"\\img\\run");
    QVERIFY(QDir().mkpath(folder));

    const LocalPicturesResult result = saveAll(u"<p>文章<img src=\"%1\"></p>"_s.arg(address), folder);
    QCOMPARE(result.pictures.size(), 1);
    const LocalPicture &picture = result.pictures.first();
    QCOMPARE(picture.failure, failure);
    QCOMPARE(picture.fileName, fileName);
    QVERIFY(result.listWritten);

    // Nothing but the picture and the list, and no partial file beside them.
    const QString listed = listedPictureAddress(address);
    if (fileName.isEmpty()) {
        QCOMPARE(filesIn(folder), QStringList{u"list.txt"_s});
        QCOMPARE(fileBytes(folder + u"/list.txt"_s), (u"01\t"_s + listed + u'\t' + failure + u'\n').toUtf8());
        return;
    }
    QCOMPARE(filesIn(folder), (QStringList{fileName, u"list.txt"_s}));
    QCOMPARE(fileBytes(folder + u"/list.txt"_s), (fileName + u'\t' + listed + u'\n').toUtf8());
    const QByteArray stored = fileBytes(folder + u'/' + fileName);
    QCOMPARE(picture.bytes, stored.size());
    if (!kept.isEmpty()) {
        QCOMPARE(stored, kept);
    } else {
        QImageReader reader(folder + u'/' + fileName);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), storedSize);
    }
    for (const FakeRequest &request : server.requests())
        QVERIFY2(request.header("Referer").isEmpty(), request.raw.constData());
}

void TestLocalPictures::article_numbersInOrderAndFetchesAnAddressOnce()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(Settings));
    FakeHttpServer server;
    const QByteArray jpeg = encodedPicture(photoImage(300, 200), "jpeg", 95);
    server.on(u"/a.jpg"_s).respond(200, jpeg, "image/jpeg");
    QImage flat(8, 8, QImage::Format_RGB32);
    flat.fill(Qt::blue);
    const QByteArray tiny = encodedPicture(flat, "png");
    const QString a = u"http://"_s + server.address() + u"/a.jpg"_s;
    const QString gone = u"http://"_s + server.address() + u"/gone.png"_s;
    const QString data = u"data:image/png;base64,"_s + QString::fromLatin1(tiny.toBase64());
    const QString html = u"<p><img src='%1'>一<img src='%2'></p><img src='%1'><img src='%3'>"_s.arg(a, gone, data);
    const QString folder = app.path(u"\\img\\run");
    QVERIFY(QDir().mkpath(folder));

    const LocalPicturesResult result = saveAll(html, folder);
    QCOMPARE(result.savedCount(), 2);
    QCOMPARE(result.failedCount(), 1);
    QCOMPARE(server.requestsFor(u"/a.jpg"_s).size(), 1);
    QCOMPARE(filesIn(folder), (QStringList{u"01.jpg"_s, u"03.png"_s, u"list.txt"_s}));
    QCOMPARE(QString::fromUtf8(fileBytes(folder + u"/list.txt"_s)),
             u"01.jpg\t%1\n02\t%2\tHTTP 404\n03.png\tdata:image/png;base64,…\n"_s.arg(a, gone));
}

void TestLocalPictures::fetches_atMostFourAtATime()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(Settings));
    FakeHttpServer server;
    QString html;
    for (int i = 1; i <= 6; ++i) {
        server.on(u"/%1.jpg"_s.arg(i)).silent();
        html += u"<img src='http://%1/%2.jpg'>"_s.arg(server.address()).arg(i);
    }
    // Every picture stalls until its time-out: a fifth request may only come
    // after a picture has given up.
    LocalPictures pictures;
    int done = 0;
    QStringList overlaps;
    connect(&pictures, &LocalPictures::progress, this, [&done](int count, int) { done = count; });
    connect(&server, &FakeHttpServer::requestReceived, this, [&] {
        const int inFlight = int(server.requests().size()) - done;
        if (inFlight > LocalPictures::MaxFetches)
            overlaps << u"request %1 with %2 done"_s.arg(server.requests().size()).arg(done);
    });
    const LocalPicturesResult result = saveAll(html, app.path(u"\\img"), &pictures);
    QCOMPARE(server.requests().size(), 6);
    QCOMPARE(result.failedCount(), 6);
    QCOMPARE(overlaps, QStringList());
}

QTEST_GUILESS_MAIN(TestLocalPictures)
#include "tst_local_pictures.moc"
