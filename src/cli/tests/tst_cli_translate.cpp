#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs zorvane-cli while this process keeps serving: the fake server answers
// from the test's own event loop, which a blocking wait would stall.
CliRun runCliServing(const QString &appDir, const QStringList &args, const QByteArray &input)
{
    QProcess process;
    process.start(QStringLiteral(ZORVANE_CLI), QStringList{u"--app-dir"_s, appDir} + args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

QByteArray answerPage(const QString &result)
{
    return FakeHttpServer::httpResponse(
        200, (u"<html><span id=result_box class=\"long_text\">"_s + result + u"</span></div></html>"_s).toUtf8(),
        "text/html; charset=UTF-8");
}

} // namespace

class TestCliTranslate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void translates_data();
    void translates();
    void failures_exitOneWithTheMessage_data();
    void failures_exitOneWithTheMessage();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestCliTranslate::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->serve(Cfg::Servers::TranslateAddress));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 1));
}

void TestCliTranslate::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

void TestCliTranslate::translates_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("sent"); // the body's end; empty: nothing may be sent
    QTest::addColumn<QString>("expected");

    const QByteArray article = u"<p>天气好</p><p>第二段</p>"_s.toUtf8();
    const QString english = u"<p>Good weather</p><p>Second paragraph</p>"_s;
    QTest::newRow("English by default")
        << QStringList{u"translate"_s} << article
        << QByteArray("&sl=zh-CN&tl=en&ie=UTF-8&text=%3Cp%3E%E5%A4%A9%E6%B0%94%E5%A5%BD%3C%2Fp%3E"
                      "%3Cp%3E%E7%AC%AC%E4%BA%8C%E6%AE%B5%3C%2Fp%3E")
        << english;
    QTest::newRow("--to zh from a GBK file")
        << QStringList{u"--gbk"_s, u"translate"_s, u"--to"_s, u"zh"_s, u"article.txt"_s} << toGbk(u"天气好"_s)
        << QByteArray("&sl=en&tl=zh-CN&ie=UTF-8&text=%E5%A4%A9%E6%B0%94%E5%A5%BD") << english;
    QTest::newRow("empty article: nothing sent, nothing printed")
        << QStringList{u"translate"_s, u"--to=en"_s} << QByteArray() << QByteArray() << QString();
}

void TestCliTranslate::translates()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, sent);
    QFETCH(QString, expected);
    m_server->on(u"/"_s).reply(answerPage(u"&lt;p&gt;Good weather&lt;/p&gt;&lt;p&gt;Second paragraph&lt;/p&gt;"_s));
    if (args.contains(u"article.txt"_s)) {
        QVERIFY(m_folder->writeFile(u"\\article.txt", input));
        args.last() = m_folder->path(u"\\article.txt");
        input.clear();
    }

    const CliRun run = runCliServing(m_folder->folder().root(), args, input);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(args.contains(u"--gbk"_s) ? fromGbk(run.out) : QString::fromUtf8(run.out), expected);
    if (sent.isEmpty()) {
        QCOMPARE(m_server->connectionCount(), 0);
    } else {
        QCOMPARE(m_server->requests().size(), 1);
        QVERIFY(m_server->requests().first().body.endsWith(sent));
    }
}

void TestCliTranslate::failures_exitOneWithTheMessage_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QStringList translate{u"translate"_s};
    QTest::newRow("refused") << u"refused"_s << translate << 1 << u"网络故障，暂时无法使用翻译功能。"_s;
    QTest::newRow("stall") << u"stall"_s << translate << 1 << u"网络故障，暂时无法使用翻译功能。"_s;
    QTest::newRow("page without a result") << u"nomarkers"_s << translate << 1 << u"翻译服务没有返回译文"_s;
    QTest::newRow("unknown language") << QString() << QStringList{u"translate"_s, u"--to"_s, u"fr"_s} << 2
                                      << u"usage: zorvane-cli translate [--to en|zh] [FILE]"_s;
    QTest::newRow("--to without a value")
        << QString() << QStringList{u"translate"_s, u"--to"_s} << 2 << u"usage: zorvane-cli translate"_s;
    QTest::newRow("missing file") << QString() << QStringList{u"translate"_s, u"/nonexistent/a.html"_s} << 1
                                  << u"cannot read /nonexistent/a.html"_s;
}

void TestCliTranslate::failures_exitOneWithTheMessage()
{
    QFETCH(QString, scenario);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (scenario == u"refused")
        QVERIFY(setConfigText(Cfg::Servers::TranslateAddress,
                              u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    else if (scenario == u"stall")
        m_server->on(u"/"_s).reply("HTTP/1.1 200 OK\r\n\r\n<html><span id=result_box>x</span></div>");
    else if (scenario == u"nomarkers")
        m_server->on(u"/"_s).respond(200, "<html><div>x</div></html>");

    const CliRun run = runCliServing(m_folder->folder().root(), args, u"<p>文章</p>"_s.toUtf8());
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    if (exitCode == 2)
        QCOMPARE(m_server->connectionCount(), 0);
}

QTEST_GUILESS_MAIN(TestCliTranslate)
#include "tst_cli_translate.moc"
