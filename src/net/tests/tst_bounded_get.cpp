#include "net/bounded_get.h"
#include "testsupport/fake_http_server.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace zorvane;

class TestBoundedGet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reply_heldToItsBoundAsItArrives_data();
    void reply_heldToItsBoundAsItArrives();
};

void TestBoundedGet::reply_heldToItsBoundAsItArrives_data()
{
    constexpr qint64 bound = 1024 * 1024;
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("oversized");
    QTest::addColumn<qint64>("delivered");
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n";
    const QByteArray atBound(bound, 'x');
    const QByteArray eightTimes(8 * bound, 'x');
    QTest::newRow("at the bound, with its length")
        << head + "Content-Length: " + QByteArray::number(bound) + "\r\n\r\n" + atBound << false << false << bound;
    QTest::newRow("over, announced") << head + "Content-Length: " + QByteArray::number(8 * bound) + "\r\n\r\n"
                                     << false << true << qint64(0);
    // Sent in one piece and at once: the whole of it may be in before any
    // progress is reported.
    QTest::newRow("eight times over, without a length, at once")
        << head + "Connection: close\r\n\r\n" + eightTimes << false << true << qint64(0);
    QTest::newRow("a server that says nothing") << QByteArray() << true << false << qint64(0);
}

// A reply over its bound is stopped before the caller ever holds more than
// the bound, and the caller can tell that from a time-out.
void TestBoundedGet::reply_heldToItsBoundAsItArrives()
{
    constexpr qint64 bound = 1024 * 1024;
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    QFETCH(bool, oversized);
    QFETCH(qint64, delivered);
    FakeHttpServer server;
    if (silent)
        server.on(u"/r"_s).silent();
    else if (reply.contains("Connection: close"))
        server.on(u"/r"_s).reply(reply).closeEarly();
    else
        server.on(u"/r"_s).reply(reply);
    if (oversized)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"over its bound of %1"_s.arg(bound)));

    QNetworkAccessManager manager;
    QNetworkReply *got =
        boundedGet(manager, QNetworkRequest(QUrl(u"http://"_s + server.address() + u"/r"_s)), 3s, bound);
    qint64 mostHeld = 0;
    connect(got, &QNetworkReply::readyRead, this, [&] { mostHeld = qMax(mostHeld, got->bytesAvailable()); });
    QVERIFY(QTest::qWaitFor([&] { return got->isFinished(); }, 10000));

    QVERIFY2(mostHeld <= bound, qPrintable(QString::number(mostHeld)));
    QCOMPARE(stoppedOversized(got), oversized);
    QCOMPARE(got->error() == QNetworkReply::NoError, delivered > 0);
    QCOMPARE(successBody(got).size(), delivered);
    delete got;
}

QTEST_GUILESS_MAIN(TestBoundedGet)
#include "tst_bounded_get.moc"
