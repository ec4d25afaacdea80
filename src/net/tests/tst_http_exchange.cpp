#include "net/http_exchange.h"
#include "net/http_request.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include "text/gbk.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// What one exchange ended with.
struct Outcome
{
    int endings = 0;
    bool succeeded = false;
    HttpReply reply;
    QString message;
    HttpExchange::Failure reason = HttpExchange::Failure::Network;

    explicit Outcome(HttpExchange &exchange)
    {
        QObject::connect(&exchange, &HttpExchange::finished, [this](const HttpReply &received) {
            ++endings;
            succeeded = true;
            reply = received;
        });
        QObject::connect(&exchange, &HttpExchange::failed, [this](const QString &text, HttpExchange::Failure why) {
            ++endings;
            message = text;
            reason = why;
        });
    }
    bool wait() const
    {
        return QTest::qWaitFor([this] { return endings > 0; }, 5000);
    }
};

} // namespace

class TestHttpExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void markerSplitAcrossChunks_completes_data();
    void markerSplitAcrossChunks_completes();
    void requestGoesOutAsGbkBytes();
    void gbkCharacterSplitAcrossChunks_staysWhole();
    void bytesMode_leavesDecodingToTheCaller();
    void ownTest_decidesCompletion();
    void failures_endOnTheErrorPath_data();
    void failures_endOnTheErrorPath();
    void markerWithTheHangUp_isSuccess();
    void replyAtTheLimit_isAccepted();
    void everyRequest_usesANewConnection();
    void restart_dropsTheRunningExchangeSilently();
    void statusLine_isReadNotJudged_data();
    void statusLine_isReadNotJudged();
    void announcedOverTheBound_failsAtTheHeader();
    void endOfBody_completes_data();
    void endOfBody_completes();
    void markers_agreeWithTheWholeBufferSearch_data();
    void markers_agreeWithTheWholeBufferSearch();

private:
    HttpExchange::Request request(const QString &path, CompletionMarker completion) const;

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestHttpExchange::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->isListening());
}

void TestHttpExchange::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

HttpExchange::Request TestHttpExchange::request(const QString &path, CompletionMarker completion) const
{
    HttpExchange::Request request;
    request.server = {u"127.0.0.1"_s, m_server->port()};
    request.text = buildGetRequest(path, request.server.host, QString(), QString());
    request.completion = std::move(completion);
    request.failureMessage = u"网络故障，请稍后重试。"_s;
    request.timeout = 3s;
    return request;
}

void TestHttpExchange::markerSplitAcrossChunks_completes_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<CompletionMarker>("completion");
    QTest::addColumn<QString>("expected");
    QTest::newRow("headers and body apart, end tag split")
        << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n", "<html>x</ht", "ml>"} << CompletionMarker::inText(u"</html>"_s)
        << u"HTTP/1.1 200 OK\r\n\r\n<html>x</html>"_s;
    QTest::newRow("marker in bytes, one byte per chunk")
        << QList<QByteArray>{"<", "/", "h", "t", "m", "l", ">"} << CompletionMarker::inBytes("</html>") << u"</html>"_s;
    QTest::newRow("upper-case script end in the lower-cased text")
        << QList<QByteArray>{"<script>a()</SCR", "IPT>"} << CompletionMarker::inLowercaseText(u"</script>"_s)
        << u"<script>a()</SCRIPT>"_s;
    QTest::newRow("empty line split between its line ends")
        << QList<QByteArray>{"HTTP/1.1 302 Found\r\nLocation: /\r\n", "\r\n"}
        << CompletionMarker::inLowercaseText(u"\r\n\r\n"_s) << u"HTTP/1.1 302 Found\r\nLocation: /\r\n\r\n"_s;
    QTest::newRow("text after the marker in the same chunk is kept")
        << QList<QByteArray>{"a</html>b"} << CompletionMarker::inText(u"</html>"_s) << u"a</html>b"_s;
}

void TestHttpExchange::markerSplitAcrossChunks_completes()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(CompletionMarker, completion);
    QFETCH(QString, expected);
    m_server->on(u"/a"_s).chunks(chunks).delay(5ms);
    HttpExchange exchange;
    Outcome outcome(exchange);
    exchange.start(request(u"/a"_s, completion));
    QVERIFY(exchange.isRunning());
    QVERIFY(outcome.wait());
    QVERIFY2(outcome.succeeded, qPrintable(outcome.message));
    QCOMPARE(outcome.reply.text, expected);
    // A text exchange keeps the text alone: a long reply is not held twice.
    QCOMPARE(outcome.reply.bytes, QByteArray());
    QVERIFY(!exchange.isRunning());
}

void TestHttpExchange::requestGoesOutAsGbkBytes()
{
    m_server->on(u"/s?wd=%D6%D0"_s).reply("</html>");
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request post = request(u"/s?wd=%D6%D0"_s, CompletionMarker::inText(u"</html>"_s));
    post.text = buildPostRequest(u"/s?wd=%D6%D0"_s, u"h"_s, u"q=中文"_s, u"a=1;"_s, u"http://h/"_s);
    exchange.start(post);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_server->requests().first().raw, toGbk(post.text));
    QCOMPARE(m_server->requests().first().body, toGbk(u"q=中文"_s));
}

void TestHttpExchange::gbkCharacterSplitAcrossChunks_staysWhole()
{
    const QByteArray page = toGbk(u"<title>新闻标题</title></html>"_s);
    const qsizetype middleOfACharacter = page.indexOf(toGbk(u"闻"_s)) + 1;
    m_server->on(u"/t"_s).chunks({page.left(middleOfACharacter), page.mid(middleOfACharacter)}).delay(5ms);
    HttpExchange exchange;
    Outcome outcome(exchange);
    exchange.start(request(u"/t"_s, CompletionMarker::inText(u"</html>"_s)));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.text, u"<title>新闻标题</title></html>"_s);
}

void TestHttpExchange::bytesMode_leavesDecodingToTheCaller()
{
    const QByteArray page = FakeHttpServer::utf8(u"约 1,230 个结果</html>"_s);
    m_server->on(u"/b"_s).chunks({page.left(4), page.mid(4)}).delay(5ms);
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request bytes = request(u"/b"_s, CompletionMarker::inBytes("</html>"));
    bytes.receive = HttpExchange::Receive::Bytes;
    exchange.start(bytes);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.bytes, page);
    QCOMPARE(outcome.reply.text, QString());
}

void TestHttpExchange::ownTest_decidesCompletion()
{
    m_server->on(u"/c"_s).chunks({"12", "345", "6789"});
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request counting =
        request(u"/c"_s, CompletionMarker::when([received = 0](QByteArrayView chunk, QStringView) mutable {
                    received += chunk.size();
                    return received >= 5;
                }));
    counting.receive = HttpExchange::Receive::Bytes;
    exchange.start(counting);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.bytes, "12345");
}

void TestHttpExchange::failures_endOnTheErrorPath_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<HttpExchange::Failure>("reason");
    QTest::newRow("server never answers") << u"silent"_s << HttpExchange::Failure::TimedOut;
    QTest::newRow("answer stops before the marker") << u"stall"_s << HttpExchange::Failure::TimedOut;
    QTest::newRow("peer hangs up before the marker") << u"close"_s << HttpExchange::Failure::ClosedEarly;
    QTest::newRow("connection refused") << u"refused"_s << HttpExchange::Failure::Network;
    QTest::newRow("reply over the size limit") << u"large"_s << HttpExchange::Failure::TooLarge;
    QTest::newRow("no host") << u"nohost"_s << HttpExchange::Failure::Network;
}

void TestHttpExchange::failures_endOnTheErrorPath()
{
    QFETCH(QString, scenario);
    QFETCH(HttpExchange::Failure, reason);
    HttpExchange::Request failing = request(u"/f"_s, CompletionMarker::inLowercaseText(u"</html>"_s));
    failing.timeout = 200ms;
    if (scenario == u"silent") {
        m_server->on(u"/f"_s).silent();
    } else if (scenario == u"stall") {
        m_server->on(u"/f"_s).reply("HTTP/1.1 200 OK\r\n\r\n<html>");
    } else if (scenario == u"close") {
        failing.timeout = 3s;
        m_server->on(u"/f"_s).chunks({"HTTP/1.1 200 OK\r\n\r\n", "<html>"}).closeEarly();
    } else if (scenario == u"refused") {
        failing.server.port = FakeHttpServer::closedPort();
    } else if (scenario == u"large") {
        failing.timeout = 3s;
        failing.maxReplySize = 10000;
        m_server->on(u"/f"_s).chunks({QByteArray(6000, 'x'), QByteArray(6000, 'x'), "</html>"});
    } else if (scenario == u"nohost") {
        failing.server.host.clear();
    }
    HttpExchange exchange;
    Outcome outcome(exchange);
    exchange.start(failing);
    QVERIFY(outcome.wait());
    QVERIFY(!outcome.succeeded);
    QCOMPARE(outcome.reason, reason);
    QCOMPARE(outcome.message, u"网络故障，请稍后重试。"_s);
    QVERIFY(!exchange.isRunning());
    QTest::qWait(0);
    QCOMPARE(outcome.endings, 1);
}

void TestHttpExchange::markerWithTheHangUp_isSuccess()
{
    m_server->on(u"/m"_s).reply("<html></html>").closeEarly();
    HttpExchange exchange;
    Outcome outcome(exchange);
    exchange.start(request(u"/m"_s, CompletionMarker::inText(u"</html>"_s)));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.text, u"<html></html>"_s);
}

void TestHttpExchange::replyAtTheLimit_isAccepted()
{
    const QByteArray page = QByteArray(9993, 'x') + "</html>";
    m_server->on(u"/l"_s).chunks({page.left(5000), page.mid(5000)});
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request limited = request(u"/l"_s, CompletionMarker::inBytes("</html>"));
    limited.maxReplySize = page.size();
    exchange.start(limited);
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.text.size(), page.size());
}

void TestHttpExchange::everyRequest_usesANewConnection()
{
    m_server->on(u"/1"_s).reply("one</html>");
    m_server->on(u"/2"_s).reply("two</html>");
    HttpExchange exchange;
    QStringList texts;
    // The second request starts from the first one's ending, as a dialogue does.
    connect(&exchange, &HttpExchange::finished, this, [&](const HttpReply &reply) {
        texts.append(reply.text);
        if (texts.size() == 1)
            exchange.start(request(u"/2"_s, CompletionMarker::inText(u"</html>"_s)));
    });
    exchange.start(request(u"/1"_s, CompletionMarker::inText(u"</html>"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 2, 5000);
    QCOMPARE(texts, (QStringList{u"one</html>"_s, u"two</html>"_s}));
    QCOMPARE(m_server->connectionCount(), 2);
}

void TestHttpExchange::restart_dropsTheRunningExchangeSilently()
{
    m_server->on(u"/slow"_s).silent();
    m_server->on(u"/fast"_s).reply("</html>");
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request slow = request(u"/slow"_s, CompletionMarker::inText(u"</html>"_s));
    exchange.start(slow);
    QVERIFY(m_server->waitForRequests(1));
    exchange.start(request(u"/fast"_s, CompletionMarker::inText(u"</html>"_s)));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.endings, 1);
    QCOMPARE(m_server->connectionCount(), 2);
}

void TestHttpExchange::statusLine_isReadNotJudged_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("status");
    QTest::newRow("200") << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n</html>"} << 200;
    QTest::newRow("a captive portal's redirect")
        << QList<QByteArray>{"HTTP/1.1 302 Found\r\nLocation: http://10.0.0.1/login\r\n\r\n<html></html>"} << 302;
    QTest::newRow("status line split in three") << QList<QByteArray>{"HT", "TP/1.0 50", "3 Busy\r\n\r\n</html>"} << 503;
    QTest::newRow("no reason phrase") << QList<QByteArray>{"HTTP/1.1 404\r\n\r\n</html>"} << 404;
    QTest::newRow("no status line at all") << QList<QByteArray>{"<html></html>"} << 0;
    QTest::newRow("four digits") << QList<QByteArray>{"HTTP/1.1 2000 OK\r\n\r\n</html>"} << 0;
    QTest::newRow("a status line further down") << QList<QByteArray>{"hello\r\nHTTP/1.1 200 OK\r\n</html>"} << 0;
}

void TestHttpExchange::statusLine_isReadNotJudged()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, status);
    m_server->on(u"/s"_s).chunks(chunks).delay(5ms);
    HttpExchange exchange;
    Outcome outcome(exchange);
    exchange.start(request(u"/s"_s, CompletionMarker::endOfPage()));
    QVERIFY(outcome.wait());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.reply.status, status);
    QCOMPARE(outcome.reply.isSuccess(), status / 100 == 2);
}

void TestHttpExchange::announcedOverTheBound_failsAtTheHeader()
{
    // The header says what is coming; the body never does, yet the exchange
    // ends at once instead of at the time-out.
    m_server->on(u"/big"_s).chunks({"HTTP/1.1 200 OK\r\nContent-Length: 104857600\r\n\r\n", "<html>"});
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request big = request(u"/big"_s, CompletionMarker::endOfPage());
    big.timeout = 60s;
    QElapsedTimer clock;
    clock.start();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"announced, over its bound"_s));
    exchange.start(big);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.reason, HttpExchange::Failure::TooLarge);
    QVERIFY(clock.elapsed() < 5000);
}

void TestHttpExchange::endOfBody_completes_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("header and body apart") << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n", "789"}
                                           << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n789");
    QTest::newRow("the empty line split, the body in pieces")
        << QList<QByteArray>{"HTTP/1.1 200 OK\r\ncontent-length: 4\r\n\r", "\n1", "2", "34"}
        << QByteArray("HTTP/1.1 200 OK\r\ncontent-length: 4\r\n\r\n1234");
    QTest::newRow("without a length, the first body byte")
        << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\n", "5"} << QByteArray("HTTP/1.1 200 OK\r\n\r\n5");
}

void TestHttpExchange::endOfBody_completes()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, expected);
    m_server->on(u"/r"_s).chunks(chunks).delay(20ms);
    HttpExchange exchange;
    Outcome outcome(exchange);
    HttpExchange::Request relay = request(u"/r"_s, CompletionMarker::endOfBody());
    relay.receive = HttpExchange::Receive::Bytes;
    exchange.start(relay);
    QVERIFY(outcome.wait());
    QVERIFY2(outcome.succeeded, qPrintable(outcome.message));
    QCOMPARE(outcome.reply.bytes, expected);
}

void TestHttpExchange::markers_agreeWithTheWholeBufferSearch_data()
{
    QTest::addColumn<int>("where");
    QTest::newRow("bytes") << 0;
    QTest::newRow("text") << 1;
    QTest::newRow("lower-cased text") << 2;
}

void TestHttpExchange::markers_agreeWithTheWholeBufferSearch()
{
    // Replies from a small alphabet, cut at random: the marker is found after
    // the same chunk as searching everything received after every chunk
    // would find it, and the reply is the same.
    QFETCH(int, where);
    const QByteArray marker = "</html>";
    const QList<QByteArray> pieces = {"<", "/", "h", "H", "t", "m", "l", ">", "</", "html>", "\xD6\xD0", "\xD6", "x"};
    QRandomGenerator random(where + 7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray reply;
        for (int i = random.bounded(1, 30); i > 0; --i)
            reply += pieces[random.bounded(int(pieces.size()))];
        const CompletionMarker completion = where == 0   ? CompletionMarker::inBytes(marker)
                                            : where == 1 ? CompletionMarker::inText(u"</html>"_s)
                                                         : CompletionMarker::inLowercaseText(u"</HTML>"_s);
        ReplyBuffer buffer(completion, where == 0 ? ReplyBuffer::Keep::Bytes : ReplyBuffer::Keep::Text, 1 << 20);
        QStringDecoder decoder("GB18030");
        QByteArray received;
        QString text;
        bool literalDone = false, fastDone = false;
        for (qsizetype at = 0; at < reply.size() && !literalDone && !fastDone;) {
            const QByteArray chunk = reply.mid(at, random.bounded(1, 5));
            at += chunk.size();
            received += chunk;
            text += decoder.decode(chunk);
            literalDone = where == 0   ? received.contains(marker)
                          : where == 1 ? text.contains(u"</html>"_s)
                                       : text.toLower().contains(u"</html>"_s);
            fastDone = buffer.append(chunk) == ReplyBuffer::Progress::Complete;
        }
        QCOMPARE(fastDone, literalDone);
        const HttpReply got = buffer.take();
        QCOMPARE(where == 0 ? got.bytes : got.text.toUtf8(), where == 0 ? received : text.toUtf8());
    }
}

QTEST_GUILESS_MAIN(TestHttpExchange)
#include "tst_http_exchange.moc"
