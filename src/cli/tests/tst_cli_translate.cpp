#include "cli_runner.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "translation_pages.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;
using TranslationPages::answerPage;

class TestCliTranslate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data();
    void run();
};

void TestCliTranslate::run_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QByteArray>("sent"); // the body's end; empty: nothing may be sent

    const QByteArray article = u"<p>天气好</p><p>第二段</p>"_s.toUtf8();
    const QString english = u"<p>Good weather</p><p>Second paragraph</p>"_s;
    const QString network = u"网络故障，暂时无法使用翻译功能。"_s;
    QTest::newRow("English by default")
        << u"answer"_s << QStringList{u"translate"_s} << article << 0 << english << QString()
        << QByteArray("&sl=zh-CN&tl=en&ie=UTF-8&text=%3Cp%3E%E5%A4%A9%E6%B0%94%E5%A5%BD%3C%2Fp%3E"
                      "%3Cp%3E%E7%AC%AC%E4%BA%8C%E6%AE%B5%3C%2Fp%3E");
    QTest::newRow("--to zh, GBK in and out")
        << u"answer"_s << QStringList{u"--gbk"_s, u"translate"_s, u"--to"_s, u"zh"_s} << toGbk(u"天气好"_s) << 0
        << english << QString() << QByteArray("&sl=en&tl=zh-CN&ie=UTF-8&text=%E5%A4%A9%E6%B0%94%E5%A5%BD");
    QTest::newRow("empty article: nothing sent, nothing printed")
        << u"answer"_s << QStringList{u"translate"_s, u"--to=en"_s} << QByteArray() << 0 << QString() << QString()
        << QByteArray();
    QTest::newRow("refused") << u"refused"_s << QStringList{u"translate"_s} << article << 1 << QString() << network
                             << QByteArray();
    QTest::newRow("page without a result")
        << u"nomarkers"_s << QStringList{u"translate"_s} << article << 1 << QString() << u"翻译服务没有返回译文"_s
        << QByteArray("%E7%AC%AC%E4%BA%8C%E6%AE%B5%3C%2Fp%3E");
    QTest::newRow("unknown language") << u"answer"_s << QStringList{u"translate"_s, u"--to"_s, u"fr"_s} << article << 2
                                      << QString() << u"usage: zorvane-cli translate [--to en|zh] [FILE]"_s
                                      << QByteArray();
}

void TestCliTranslate::run()
{
    QFETCH(QString, scenario);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, sent);
    TempAppFolder folder;
    FakeHttpServer server;
    QVERIFY(server.serve(Cfg::Servers::TranslateAddress));
    if (scenario == u"answer")
        server.on(u"/"_s).reply(answerPage(u"&lt;p&gt;Good weather&lt;/p&gt;&lt;p&gt;Second paragraph&lt;/p&gt;"_s));
    else if (scenario == u"nomarkers")
        server.on(u"/"_s).respond(200, "<html><div>x</div></html>");
    else
        QVERIFY(setConfigText(Cfg::Servers::TranslateAddress,
                              u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));

    const CliRun run = runCliServing(folder.folder().root(), args, input, 20000);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(args.contains(u"--gbk"_s) ? fromGbk(run.out) : QString::fromUtf8(run.out), out);
    QVERIFY2(err.isEmpty() ? run.err.isEmpty() : QString::fromUtf8(run.err).contains(err), run.err.constData());
    if (sent.isEmpty()) {
        QCOMPARE(server.requests().size(), 0);
    } else {
        QCOMPARE(server.requests().size(), 1);
        QVERIFY(server.requests().first().body.endsWith(sent));
    }
}

QTEST_GUILESS_MAIN(TestCliTranslate)
#include "tst_cli_translate.moc"
