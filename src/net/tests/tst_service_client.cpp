#include "net/service_client.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include "settings/config_keys.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Collects what one fetch delivered.
struct Outcome
{
    bool delivered = false;
    QString text;
    QByteArray bytes;
};

bool waitFor(const Outcome &outcome)
{
    return QTest::qWaitFor([&] { return outcome.delivered; }, 5000);
}

} // namespace

class TestServiceClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void normalReply_isDecodedFromGbk();
    void bytesReply_isUnchanged();
    void requestLine_carriesThePathAsGiven();
    void failures_readAsEmptyReply_data();
    void failures_readAsEmptyReply();
    void replies_overTheirBound_readAsEmpty_data();
    void replies_overTheirBound_readAsEmpty();
    void redirects_onlyOnTheServiceHost_data();
    void redirects_onlyOnTheServiceHost();
    void silentServer_endsAtTheTimeout();
    void deadContext_getsNothing();
    void clientDestroyedMidFetch_callsNothing();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestServiceClient::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->isListening());
    QVERIFY(m_server->serve(Cfg::Servers::Service));
}

void TestServiceClient::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

void TestServiceClient::normalReply_isDecodedFromGbk()
{
    m_server->on(u"/index.php?m=show&action=notice"_s)
        .respond(200, FakeHttpServer::gbk(u"欢迎使用|http://example.com/<br>第二条"_s));
    ServiceClient client;
    Outcome outcome;
    client.fetchText(ServicePath::notice(), this, [&](const QString &reply) { outcome = {true, reply, {}}; });
    QVERIFY(!outcome.delivered); // never synchronous
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.text, u"欢迎使用|http://example.com/<br>第二条"_s);
}

void TestServiceClient::bytesReply_isUnchanged()
{
    const QByteArray body("\x00\xff\xfe\x80 binary", 11);
    m_server->on(u"/data/errorwords.txt"_s).respond(200, body, "application/octet-stream");
    ServiceClient client;
    Outcome outcome;
    client.fetchBytes(ServicePath::errorWords(), this, [&](const QByteArray &reply) { outcome = {true, {}, reply}; });
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.bytes, body);
}

void TestServiceClient::requestLine_carriesThePathAsGiven()
{
    m_server->on(u"/index.php?m=show&action=upnew&time=20261207"_s).respond(200, "pkg|20261208|/p/1.md");
    ServiceClient client;
    Outcome outcome;
    client.fetchText(ServicePath::updateList(u"20261207"_s), this, [&](const QString &reply) {
        outcome = {true, reply, {}};
    });
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.text, u"pkg|20261208|/p/1.md"_s);
    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_server->requests().first().method, "GET");
    QCOMPARE(m_server->requests().first().header("Host"), "127.0.0.1:" + QByteArray::number(m_server->port()));
}

void TestServiceClient::failures_readAsEmptyReply_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::newRow("not found") << u"404"_s;
    QTest::newRow("server error with a body") << u"500"_s;
    QTest::newRow("connection refused") << u"refused"_s;
    QTest::newRow("peer closes mid-reply") << u"close"_s;
    QTest::newRow("no host configured") << u"nohost"_s;
}

void TestServiceClient::failures_readAsEmptyReply()
{
    QFETCH(QString, scenario);
    const QString path = ServicePath::advertisement();
    if (scenario == u"404")
        m_server->on(u'/' + path).respond(404, "ad.gif|http://example.com/");
    else if (scenario == u"500")
        m_server->on(u'/' + path).respond(500, "ad.gif");
    else if (scenario == u"refused")
        QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    else if (scenario == u"close")
        m_server->on(u'/' + path).reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nad.gif").closeEarly();
    else if (scenario == u"nohost")
        QVERIFY(setConfigText(Cfg::Servers::Service, u":8080"_s));

    ServiceClient client;
    client.setTimeout(3s);
    Outcome outcome;
    client.fetchText(path, this, [&](const QString &reply) { outcome = {true, reply, {}}; });
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.text, QString());
}

void TestServiceClient::replies_overTheirBound_readAsEmpty_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("bound");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("announced");
    QTest::addColumn<bool>("delivered");
    const qint64 text = ServiceClient::TextBound;
    const qint64 library = ServiceClient::LibraryBound;
    const QString notice = ServicePath::notice();
    const QString words = ServicePath::errorWords();
    QTest::newRow("a text at its bound") << notice << text << text << true << true;
    QTest::newRow("a text one byte over") << notice << text << text + 1 << true << false;
    QTest::newRow("a text over, without a length") << notice << text << 3 * text << false << false;
    QTest::newRow("a library at its bound") << words << library << library << true << true;
    QTest::newRow("a library one byte over") << words << library << library + 1 << true << false;
    QTest::newRow("a library over, without a length") << words << library << library + 65536 << false << false;
}

void TestServiceClient::replies_overTheirBound_readAsEmpty()
{
    QFETCH(QString, path);
    QFETCH(qint64, bound);
    QFETCH(qint64, size);
    QFETCH(bool, announced);
    QFETCH(bool, delivered);
    const QByteArray body(size, 'x');
    if (announced)
        m_server->on(u'/' + path).respond(200, body, "text/plain");
    else
        m_server->on(u'/' + path).reply("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body).closeEarly();
    if (!delivered)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"over its bound of %1"_s.arg(bound)));
    ServiceClient client;
    Outcome outcome;
    client.fetchBytes(
        path, this,
        [&](const QByteArray &reply) {
            outcome = {true, {}, reply};
        },
        bound);
    QVERIFY(QTest::qWaitFor([&] { return outcome.delivered; }, 20000));
    QCOMPARE(outcome.bytes.size(), delivered ? size : 0);
}

void TestServiceClient::redirects_onlyOnTheServiceHost_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("refusedHere");
    QTest::newRow("to another path of the server") << QByteArray("/moved/notice.txt") << u"moved here"_s << false;
    QTest::newRow("to a captive portal") << QByteArray("http://10.255.255.1/login") << QString() << true;
    QTest::newRow("to a local file (Qt refuses it first)") << QByteArray("file:///etc/passwd") << QString() << false;
}

void TestServiceClient::redirects_onlyOnTheServiceHost()
{
    QFETCH(QByteArray, location);
    QFETCH(QString, expected);
    QFETCH(bool, refusedHere);
    m_server->on(u"/index.php?m=show&action=notice"_s)
        .reply("HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n");
    m_server->on(u"/moved/notice.txt"_s).respond(200, "moved here");
    if (refusedHere)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"away from its host, refused"_s));
    ServiceClient client;
    client.setTimeout(3s);
    Outcome outcome;
    client.fetchText(ServicePath::notice(), this, [&](const QString &reply) { outcome = {true, reply, {}}; });
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.text, expected);
}

void TestServiceClient::silentServer_endsAtTheTimeout()
{
    m_server->on(u"/index.php?m=show&action=format"_s).silent();
    ServiceClient client;
    client.setTimeout(200ms);
    Outcome outcome;
    client.fetchText(ServicePath::formatDefault(), this, [&](const QString &reply) { outcome = {true, reply, {}}; });
    QVERIFY(waitFor(outcome));
    QCOMPARE(outcome.text, QString());
    QCOMPARE(m_server->requests().size(), 1);
}

void TestServiceClient::deadContext_getsNothing()
{
    m_server->on(u"/index.php?m=show&action=yc"_s).respond(200, "text");
    ServiceClient client;
    bool called = false;
    // The callback is released once the fetch is over, delivered or not.
    auto alive = std::make_shared<int>();
    const std::weak_ptr<int> fetchRunning = alive;
    auto *context = new QObject;
    client.fetchText(ServicePath::ycDefault(), context, [&called, alive](const QString &) { called = true; });
    alive.reset();
    delete context;
    QTRY_VERIFY_WITH_TIMEOUT(fetchRunning.expired(), 5000);
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(!called);
}

void TestServiceClient::clientDestroyedMidFetch_callsNothing()
{
    m_server->on(u"/index.php?m=show&action=notice"_s).silent();
    bool called = false;
    {
        ServiceClient client;
        client.fetchText(ServicePath::notice(), this, [&](const QString &) { called = true; });
        QVERIFY(m_server->waitForRequests(1));
    }
    QTest::qWait(0);
    QVERIFY(!called);
}

QTEST_GUILESS_MAIN(TestServiceClient)
#include "tst_service_client.moc"
