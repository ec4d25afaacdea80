#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "updater/download_progress.h"
#include "updater/package_download.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    bool ended = false;
    bool succeeded = false;
    PackageDownload::Failure reason = PackageDownload::Failure::Network;
    QList<QPair<qint64, qint64>> progress;

    explicit Outcome(PackageDownload &download)
    {
        QObject::connect(&download, &PackageDownload::finished, [this] { ended = succeeded = true; });
        QObject::connect(&download, &PackageDownload::failed, [this](PackageDownload::Failure why) {
            ended = true;
            reason = why;
        });
        QObject::connect(&download, &PackageDownload::progressed, [this](qint64 last, qint64 length) {
            progress.append({last, length});
        });
    }
    bool wait() const
    {
        return QTest::qWaitFor([this] { return ended; }, 10000);
    }
};

QByteArray header(qint64 length, const QByteArray &status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nServer: fake\r\nContent-Length: " + QByteArray::number(length)
           + "\r\nContent-Type: application/octet-stream\r\n\r\n";
}

} // namespace

class TestPackageDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void body_arrivesWhole_data();
    void body_arrivesWhole();
    void progress_data();
    void progress();
    void progressReachesHundredOnlyAtTheLastByte();
    void slowServers_areCutOff_data();
    void slowServers_areCutOff();

private:
    PackageDownload::Request request(const QString &path, std::chrono::milliseconds timeout = 1s) const;

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestPackageDownload::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->isListening());
}

void TestPackageDownload::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

PackageDownload::Request TestPackageDownload::request(const QString &path, std::chrono::milliseconds timeout) const
{
    PackageDownload::Request request;
    request.server = {u"127.0.0.1"_s, m_server->port()};
    request.path = path;
    request.timeout = timeout;
    return request;
}

void TestPackageDownload::body_arrivesWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray body = "MZ\x00\x00\x00\x06 package body"_ba;
    const QByteArray whole = header(body.size()) + body;
    QTest::newRow("header and body in one chunk") << QList<QByteArray>{whole} << body;
    QList<QByteArray> bytewise;
    for (char c : whole)
        bytewise.append(QByteArray(1, c));
    QTest::newRow("every byte its own chunk") << bytewise << body;
    QTest::newRow("header alone, then the body") << QList<QByteArray>{header(body.size()), body} << body;
    const qsizetype split = whole.indexOf("Content-Length:") + 9;
    QTest::newRow("Content-Length: split between chunks")
        << QList<QByteArray>{whole.left(split), whole.mid(split)} << body;
    const qsizetype blank = whole.indexOf("\r\n\r\n") + 2;
    QTest::newRow("empty line split between chunks") << QList<QByteArray>{whole.left(blank), whole.mid(blank)} << body;

    // A body chunk that happens to hold header-like bytes is body.
    const QByteArray tricky = "Content-Length: 5\r\n\r\nnot a header";
    QTest::newRow("body holding Content-Length:")
        << QList<QByteArray>{header(tricky.size()), tricky.left(10), tricky.mid(10)} << tricky;
    QTest::newRow("body longer than announced: cut")
        << QList<QByteArray>{header(4) + "abcdEXTRA", "MORE"} << QByteArray("abcd");
    QTest::newRow("header names in any case")
        << QList<QByteArray>{"HTTP/1.0 200 OK\r\ncontent-length:  3 \r\n\r\nxyz"_ba} << QByteArray("xyz");
    QTest::newRow("empty body") << QList<QByteArray>{header(0)} << QByteArray();
}

void TestPackageDownload::body_arrivesWhole()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, expected);
    m_server->on(u"/p.md"_s).chunks(pieces).delay(5ms);

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    PackageDownload download;
    Outcome outcome(download);
    // Byte by byte, the header alone takes longer than the refusal tests' limit.
    download.start(request(u"/p.md"_s, 10s), &sink);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(sink.data(), expected);
    QCOMPARE(download.contentLength(), expected.size());
    QVERIFY(!download.isRunning());
}

void TestPackageDownload::progress_data()
{
    QTest::addColumn<qint64>("lastIndex");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("percent");

    QTest::newRow("header only") << qint64(-1) << qint64(1000) << 0 << u"0%"_s;
    QTest::newRow("first byte") << qint64(0) << qint64(1000) << 0 << u"0%"_s;
    QTest::newRow("one short of the end") << qint64(998) << qint64(1000) << 4326 << u"99%"_s;
    QTest::newRow("last byte") << qint64(999) << qint64(1000) << 4330 << u"100%"_s;
    QTest::newRow("single byte package") << qint64(0) << qint64(1) << 0 << u"100%"_s;
    QTest::newRow("exact quotient not rounded away") << qint64(1) << qint64(4335) << 1 << u"0%"_s;
    QTest::newRow("half of 200") << qint64(99) << qint64(200) << 2145 << u"50%"_s;
    QTest::newRow("half a terabyte") << qint64(499999999999) << qint64(1000000000000) << 2167 << u"50%"_s;
    QTest::newRow("empty package") << qint64(-1) << qint64(0) << 4335 << u"100%"_s;
}

void TestPackageDownload::progress()
{
    QFETCH(qint64, lastIndex);
    QFETCH(qint64, length);
    QFETCH(int, width);
    QFETCH(QString, percent);
    const DownloadProgress progress = downloadProgress(lastIndex, length);
    QCOMPARE(progress.barWidth, width);
    QCOMPARE(progress.percentText(), percent);
}

void TestPackageDownload::progressReachesHundredOnlyAtTheLastByte()
{
    // 1000 bytes in 7 pieces, the last byte on its own.
    const QByteArray body(1000, 'p');
    m_server->on(u"/p.md"_s)
        .chunks({header(1000), body.left(10), body.mid(10, 500), body.mid(510, 489), body.right(1) + "TRAILING"})
        .delay(5ms);
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    PackageDownload download;
    Outcome outcome(download);
    download.start(request(u"/p.md"_s), &sink);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QVERIFY(outcome.progress.size() >= 2);
    QCOMPARE(outcome.progress.first(), (QPair<qint64, qint64>(-1, 1000)));
    QCOMPARE(outcome.progress.last(), (QPair<qint64, qint64>(999, 1000)));
    for (qsizetype i = 0; i + 1 < outcome.progress.size(); ++i)
        QVERIFY(downloadProgress(outcome.progress[i].first, 1000).percent < 100);
    QCOMPARE(sink.data(), body);
}

void TestPackageDownload::slowServers_areCutOff_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("pause"); // ms before each piece
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<PackageDownload::Failure>("reason");

    // A limit of one second: 1 s plus 8 bytes at 20 KiB/s is the whole
    // download's bound, and no pause may reach the second.
    const QByteArray body = "8 bytes!";
    QList<QByteArray> drip{header(body.size())};
    for (const char c : body)
        drip.append(QByteArray(1, c));
    QTest::newRow("a byte now and then outlives the whole bound")
        << drip << 300 << false << PackageDownload::Failure::TooSlow;
    QTest::newRow("a pause past the limit")
        << QList<QByteArray>{header(body.size()), body} << 1500 << false << PackageDownload::Failure::TimedOut;
    // 20 KiB are given a second more: 1.2 s in all is within the bound.
    const QByteArray larger(20 * 1024, 'z');
    QTest::newRow("slow, given time for its length")
        << QList<QByteArray>{header(larger.size()), larger.left(10240), larger.mid(10240)} << 400 << true
        << PackageDownload::Failure::Network;
}

void TestPackageDownload::slowServers_areCutOff()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, pause);
    QFETCH(bool, succeeded);
    QFETCH(PackageDownload::Failure, reason);
    m_server->on(u"/p.md"_s).chunks(pieces).delay(std::chrono::milliseconds(pause));

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    PackageDownload download;
    Outcome outcome(download);
    download.start(request(u"/p.md"_s, 1s), &sink);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.succeeded, succeeded);
    if (!succeeded)
        QCOMPARE(outcome.reason, reason);
}

QTEST_GUILESS_MAIN(TestPackageDownload)
#include "tst_package_download.moc"
