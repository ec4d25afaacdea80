#include "fake_forum.h"
#include "net/forum_login.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <QEventLoop>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace FakeForumPages;

namespace {

const QString NetworkFailure = QString::fromUtf16(LoginSteps::NetworkFailure);

// Everything one login reported.
struct Outcome
{
    QStringList progress;
    QStringList failures;
    QList<UserRecord> successes;
    QEventLoop loop;

    explicit Outcome(ForumLogin &login)
    {
        QObject::connect(&login, &ForumLogin::progress, [this](const QString &text) { progress << text; });
        QObject::connect(&login, &ForumLogin::failed, &loop, [this](const QString &text) {
            failures << text;
            loop.quit();
        });
        QObject::connect(&login, &ForumLogin::succeeded, &loop, [this](const UserRecord &record) {
            successes << record;
            loop.quit();
        });
    }
    bool ended() const { return !failures.isEmpty() || !successes.isEmpty(); }
    // On an event loop of its own: a polling wait would add its pauses to
    // every step.
    bool wait()
    {
        if (!ended()) {
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return ended();
    }
};

QByteArray upperCaseMarkers(QByteArray page)
{
    return page.replace("</html>", "</HTML>").replace("</script>", "</SCRIPT>");
}

} // namespace

class TestForumLogin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void formField_isPercentEncodedAsAFormMustBe_data();
    void formField_isPercentEncodedAsAFormMustBe();
    void wholeLogin_sendsTheDialogueAndWritesTheAvatar();
    void redirect_goesToTheSignInPage();
    void markers_inAnyCaseOrSplit_completeTheStep_data();
    void markers_inAnyCaseOrSplit_completeTheStep();
    void refusedPassword_endsWithTheForumsWords_data();
    void refusedPassword_endsWithTheForumsWords();
    void brokenStep_endsOnTheNetworkFailure_data();
    void brokenStep_endsOnTheNetworkFailure();
    void profileUid_agreesWithItsPatterns();
    void avatarMissing_stillLogsIn_data();
    void avatarMissing_stillLogsIn();

private:
    std::unique_ptr<TempAppFolder> m_app;
    std::unique_ptr<FakeForum> m_forum;
    std::unique_ptr<ForumLogin> m_login;
};

void TestForumLogin::init()
{
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(m_app->isValid());
    m_forum = std::make_unique<FakeForum>();
    QVERIFY(m_forum->serve());
    m_login = std::make_unique<ForumLogin>();
    m_login->setTimeout(400ms);
}

void TestForumLogin::cleanup()
{
    m_login.reset();
    m_forum.reset();
    m_app.reset();
}

void TestForumLogin::formField_isPercentEncodedAsAFormMustBe_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("letters, digits and *-._ stay") << u"Ab9*-._"_s << u"Ab9*-._"_s;
    QTest::newRow("form punctuation") << u"a&b=c+d%e"_s << u"a%26b%3Dc%2Bd%25e"_s;
    QTest::newRow("blank") << u"a b"_s << u"a%20b"_s;
    QTest::newRow("Chinese as its GBK bytes") << u"张三"_s << u"%D5%C5%C8%FD"_s;
    QTest::newRow("trail byte that reads as a letter") << u"乊"_s << u"%81%59"_s;
    QTest::newRow("outside GBK: all four bytes") << u"😀"_s << u"%94%39%FC%36"_s;
}

void TestForumLogin::formField_isPercentEncodedAsAFormMustBe()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(LoginSteps::encodeFormField(text), encoded);
}

void TestForumLogin::wholeLogin_sendsTheDialogueAndWritesTheAvatar()
{
    Outcome outcome(*m_login);
    m_login->setRecord({u"old"_s, u"old"_s, u"old=1;"_s, {}, {}, {}, {}});
    const QString password = u"p&a=s%s w+中"_s;
    m_login->start(u"张三"_s, password);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.failures, QStringList());
    QCOMPARE(outcome.progress, (QStringList{u"登录中"_s, u"获取个人资料"_s}));

    const QString forum = m_forum->server.address();
    const QList<FakeRequest> &requests = m_forum->server.requests();
    QCOMPARE(requests.size(), 5);
    QCOMPARE(requests[0].raw, toGbk(LoginSteps::formRequest(forum)));
    const QString body = u"formhash=9f3a1c&username=%D5%C5%C8%FD&password=p%26a%3Ds%25s%20w%2B%D6%D0"
                         u"&questionid=0&answer=&loginsubmit=%B5%C7%C2%BC"_s;
    QCOMPARE(requests[1].raw, toGbk(LoginSteps::submitRequest(forum, body, u"sid=abc;"_s)));
    QCOMPARE(requests[2].path, loginPath());
    QCOMPARE(requests[2].header("Cookie"), QByteArray("sid=abc; auth=tok1;"));
    QCOMPARE(requests[3].path, portalPath());
    QCOMPARE(requests[3].header("Cookie"), QByteArray("sid=abc; auth=tok1; lastvisit=1700;"));
    QCOMPARE(requests[4].path, avatarPath());

    const UserRecord expected{u"张三"_s,
                              password,
                              u" sid=abc; auth=tok1; lastvisit=1700;"_s,
                              u"http://"_s + forum + avatarPath(),
                              u"中级会员"_s,
                              u"256"_s,
                              u"18"_s};
    QCOMPARE(outcome.successes, QList<UserRecord>{expected});
    QCOMPARE(m_login->record(), expected);
    QVERIFY(m_login->isLoggedIn());
    QVERIFY(!m_login->isRunning());
    QCOMPARE(m_app->readFile(u"\\userface\\张三.bmp"), avatarPicture());
}

void TestForumLogin::redirect_goesToTheSignInPage()
{
    m_forum->clearQueued();
    m_forum->thenOn(loginPath()).reply(loginPage(true));
    Outcome outcome(*m_login);
    m_login->start(u"u"_s, u"p"_s);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.successes.size(), 1);
    QCOMPARE(m_forum->server.requests().value(3).path, signInPath());
    QCOMPARE(outcome.successes[0].group, u"中级会员"_s);
}

void TestForumLogin::markers_inAnyCaseOrSplit_completeTheStep_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QList<QByteArray>>("chunks");
    const auto splitAt = [](const QByteArray &page, const QByteArray &marker) {
        const qsizetype at = page.lastIndexOf(marker) + 3;
        return QList<QByteArray>{page.left(at), page.mid(at)};
    };
    QTest::newRow("form page ends in </HTML>") << 1 << QList<QByteArray>{upperCaseMarkers(formPage())};
    QTest::newRow("accepted password ends in </SCRIPT>") << 2 << QList<QByteArray>{upperCaseMarkers(submitAccepted())};
    QTest::newRow("profile page ends in </HTML>") << 4 << QList<QByteArray>{upperCaseMarkers(profilePage())};
    QTest::newRow("form page, </html> split") << 1 << splitAt(formPage(), "</html>");
    QTest::newRow("accepted password, </script> split") << 2 << splitAt(submitAccepted(), "</script>");
    QTest::newRow("login page, empty line split") << 3 << splitAt(loginPage(false), "\r\n\r\n");
    QTest::newRow("profile page, </html> split") << 4 << splitAt(profilePage(), "</html>");
}

void TestForumLogin::markers_inAnyCaseOrSplit_completeTheStep()
{
    QFETCH(int, step);
    QFETCH(QList<QByteArray>, chunks);
    const QString paths[] = {loginPath(), submitPath(), loginPath(), portalPath()};
    m_forum->beforeRequest(step, [&] { m_forum->server.on(paths[step - 1]).chunks(chunks).delay(20ms); });
    Outcome outcome(*m_login);
    m_login->start(u"u"_s, u"p"_s);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.failures, QStringList());
    QCOMPARE(outcome.successes.value(0).points, u"256"_s);
}

void TestForumLogin::refusedPassword_endsWithTheForumsWords_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("message");
    QTest::newRow("tries left") << u"errorhandle_login('登录失败，您还可以尝试 4 次', {'loginperm':'4'});"_s
                                << u"登录失败，你还可以尝试4次。"_s;
    QTest::newRow("tries left win over the lock-out notice")
        << u"密码错误次数过多 errorhandle_login('x', {'loginperm':'0'});"_s << u"登录失败，你还可以尝试0次。"_s;
    QTest::newRow("locked out") << u"errorhandle_login('密码错误次数过多，请 15 分钟后重新登录');"_s
                                << u"错误次数过多，请15分钟后重试。"_s;
}

void TestForumLogin::refusedPassword_endsWithTheForumsWords()
{
    QFETCH(QString, script);
    QFETCH(QString, message);
    m_forum->server.on(submitPath()).reply(submitReply(script));
    Outcome outcome(*m_login);
    m_login->start(u"u"_s, u"secret-pw"_s);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.failures, QStringList{message});
    QCOMPARE(m_forum->server.requests().size(), 2);
    QCOMPARE(m_login->step(), ForumLogin::Step::Get1);
    QVERIFY(!m_login->isRunning() && !m_login->isLoggedIn());

    // The next try starts over with the form.
    m_login->start(u"u"_s, u"secret-pw"_s);
    QVERIFY(m_forum->server.waitForRequests(3));
    QCOMPARE(m_forum->server.requests()[2].raw, toGbk(LoginSteps::formRequest(m_forum->server.address())));
}

void TestForumLogin::brokenStep_endsOnTheNetworkFailure_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("fault");
    for (int step = 1; step <= 4; ++step) {
        for (const char *fault : {"refused", "stall", "closed early", "error page"})
            QTest::addRow("step %d, %s", step, fault) << step << QString::fromLatin1(fault);
        // Only the login page with the login cookie may send elsewhere.
        if (step != 3)
            QTest::addRow("step %d, redirect", step) << step << u"redirect"_s;
    }
}

void TestForumLogin::brokenStep_endsOnTheNetworkFailure()
{
    QFETCH(int, step);
    QFETCH(QString, fault);
    const QString paths[] = {loginPath(), submitPath(), loginPath(), portalPath()};
    const QString path = paths[step - 1];
    m_forum->beforeRequest(step, [&] {
        if (fault == u"refused")
            QVERIFY(
                setConfigText(Cfg::Servers::Forum, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
        else if (fault == u"stall")
            m_forum->server.on(path).silent();
        else if (fault == u"error page")
            m_forum->server.on(path).respond(503, "<html><script>busy()</script></html>");
        else if (fault == u"redirect")
            m_forum->server.on(path).reply(
                "HTTP/1.1 302 Found\r\nLocation: http://10.0.0.1/\r\nSet-Cookie: portal=1\r\n"
                "\r\n<html><script></script></html>");
        else
            m_forum->server.on(path).reply("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n<ht").closeEarly();
    });
    Outcome outcome(*m_login);
    m_login->start(u"u"_s, u"secret-pw"_s);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.failures, QStringList{NetworkFailure});
    QCOMPARE(outcome.successes.size(), 0);
    QCOMPARE(m_forum->server.requests().size(), fault == u"refused" ? step - 1 : step);
    QCOMPARE(int(m_login->step()), step - 1);
    QVERIFY(!m_login->isRunning() && !m_login->isLoggedIn());
    // Nothing more arrives once the failure is out.
    QTest::qWait(50);
    QCOMPARE(outcome.failures.size(), 1);
}

void TestForumLogin::profileUid_agreesWithItsPatterns()
{
    // The patterns the profile link was first read with, against the one pass,
    // on blocks from the pieces that matter to them.
    const QStringList pieces = {u"uid-"_s, u"UID-"_s, u"uid"_s, u"-"_s,      u"1"_s, u"23"_s,   u"html"_s,
                                u"HTML"_s, u"htm"_s,  u"l"_s,   u"space-"_s, u"x"_s, u"\r\n"_s, u"\n"_s};
    QRandomGenerator random(123);
    for (int round = 0; round < 20000; ++round) {
        QString block;
        for (int i = random.bounded(1, 20); i > 0; --i)
            block += pieces[random.bounded(int(pieces.size()))];
        const QString literal = regexConcat(regexConcat(block, u"uid-\\d*.*html"_s), u"\\d*"_s);
        if (LoginSteps::profileUid(block) != literal)
            QFAIL(qPrintable(u"«%1»: «%2» against «%3»"_s.arg(block, LoginSteps::profileUid(block), literal)));
    }
    // A line of "uid-" with nothing that ends a link took time in the square
    // of its length.
    QCOMPARE(LoginSteps::profileUid(QString(u"uid-1"_s).repeated(300000)), QString());
    QCOMPARE(LoginSteps::profileUid(QString(QString(u"uid-1"_s).repeated(300000) + u"html"_s)).size(), 300000);
}

void TestForumLogin::avatarMissing_stillLogsIn_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("not found") << u"404"_s;
    QTest::newRow("stall") << u"stall"_s;
}

void TestForumLogin::avatarMissing_stillLogsIn()
{
    QFETCH(QString, fault);
    QVERIFY(m_app->writeFile(u"\\userface\\u.bmp", "earlier"));
    if (fault == u"404")
        m_forum->server.on(avatarPath()).respond(404, "<html>gone</html>");
    else
        m_forum->server.on(avatarPath()).silent();
    Outcome outcome(*m_login);
    m_login->start(u"u"_s, u"p"_s);
    QVERIFY(outcome.wait());
    QCOMPARE(outcome.successes.size(), 1);
    QVERIFY(m_login->isLoggedIn());
    QCOMPARE(m_app->readFile(u"\\userface\\u.bmp"), QByteArray("earlier"));
}

QTEST_GUILESS_MAIN(TestForumLogin)
#include "tst_forum_login.moc"
