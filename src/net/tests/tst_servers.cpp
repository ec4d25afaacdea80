#include "net/servers.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class TestServers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void everyKey_hasABuiltInHost();
    void configuredValue_isReadAtEachUse();
    void timeout_data();
    void timeout();
};

void TestServers::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host alone is port 80") << u"bbs.example.net"_s << u"bbs.example.net"_s << 80;
    QTest::newRow("host and port") << u"127.0.0.1:8080"_s << u"127.0.0.1"_s << 8080;
    QTest::newRow("blanks around") << u"  h : 81 "_s << u"h"_s << 81;
    QTest::newRow("port not a number") << u"h:x"_s << u"h"_s << 80;
    QTest::newRow("port zero") << u"h:0"_s << u"h"_s << 80;
    QTest::newRow("port too large") << u"h:65536"_s << u"h"_s << 80;
    QTest::newRow("empty") << QString() << QString() << 80;
}

void TestServers::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    const ServerAddress address = parseServerAddress(text);
    QCOMPARE(address.host, host);
    QCOMPARE(address.port, port);
}

void TestServers::everyKey_hasABuiltInHost()
{
    TempAppFolder folder;
    QVERIFY(folder.isValid());
    for (const ConfigKey &key : Cfg::servers) {
        if (key.key == u"TranslateCookie" || key.key == u"Timeout")
            continue;
        const ServerAddress address = serverAddress(key);
        QVERIFY2(!address.host.isEmpty(), qPrintable(key.keyName()));
        QCOMPARE(address.port, 80);
    }
    QCOMPARE(serverAddress(ConfigKey{u"Servers", u"Nobody", ConfigKind::Text}).host, QString());
}

void TestServers::configuredValue_isReadAtEachUse()
{
    TempAppFolder folder;
    QVERIFY(folder.isValid());
    const QString builtIn = serverAddress(Cfg::Servers::Service).host;
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:4567"_s));
    QCOMPARE(serverAddress(Cfg::Servers::Service).host, u"127.0.0.1"_s);
    QCOMPARE(serverAddress(Cfg::Servers::Service).port, 4567);
    QCOMPARE(serverAddress(Cfg::Servers::Service).authority(), u"127.0.0.1:4567"_s);
    QVERIFY(setConfigText(Cfg::Servers::Service, QString()));
    QCOMPARE(serverAddress(Cfg::Servers::Service).host, builtIn);
    QCOMPARE(serverAddress(Cfg::Servers::Service).authority(), builtIn);
}

void TestServers::timeout_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<qint64>("milliseconds");
    QTest::newRow("missing") << QString() << qint64(30000);
    QTest::newRow("zero") << u"0"_s << qint64(30000);
    QTest::newRow("not a number") << u"soon"_s << qint64(30000);
    QTest::newRow("negative") << u"-5"_s << qint64(30000);
    QTest::newRow("seconds") << u"5"_s << qint64(5000);
    QTest::newRow("beyond a day is a day") << u"999999"_s << qint64(86400000);
}

void TestServers::timeout()
{
    QFETCH(QString, setting);
    QFETCH(qint64, milliseconds);
    TempAppFolder folder;
    QVERIFY(folder.isValid());
    QVERIFY(setConfigText(Cfg::Servers::Timeout, setting));
    QCOMPARE(serverTimeout().count(), milliseconds);
}

QTEST_GUILESS_MAIN(TestServers)
#include "tst_servers.moc"
