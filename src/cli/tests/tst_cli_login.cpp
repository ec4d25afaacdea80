#include "cli_runner.h"
#include "fake_forum.h"
#include "net/user_record.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// The fake forum lives in this process.
CliRun runLogin(const QString &appDir, const QStringList &args)
{
    return runCliServing(appDir, QStringList{u"login"_s} + args, {}, 20000);
}

} // namespace

class TestCliLogin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void success_printsTheProfileAndSaves();
    void failure_printsTheErrorAndExitsOne_data();
    void failure_printsTheErrorAndExitsOne();
};

void TestCliLogin::success_printsTheProfileAndSaves()
{
    TempAppFolder app;
    FakeForum forum;
    QVERIFY(forum.serve());
    // A line break from the forum must not start a line of its own.
    forum.server.on(FakeForumPages::portalPath())
        .reply(FakeForumPages::profilePage().replace(FakeHttpServer::gbk(u"中级会员"_s),
                                                     FakeHttpServer::gbk(u"中级\ncookie=forged"_s)));
    const QString avatar = u"http://"_s + forum.server.address() + FakeForumPages::avatarPath();
    const QStringList expected{u"name=张三"_s,        u"group=中级 cookie=forged"_s,
                               u"points=256"_s,       u"coins=18"_s,
                               u"avatar="_s + avatar, u"cookie= sid=abc; auth=tok1; lastvisit=1700;"_s};

    const CliRun run = runLogin(app.folder().root(), {u"--save"_s, u"张三"_s, u"p&w 中"_s});
    QCOMPARE(run.errText(), QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.outText(), expected.join(u'\n') + u'\n');
    QCOMPARE(app.readFile(u"\\userface\\张三.bmp"), FakeForumPages::avatarPicture());
    // Saved before the dialogue, as the window does.
    QCOMPARE(parseUserRecord(app.readFile(u"\\data\\user.dat")),
             (UserRecord{u"张三"_s, u"p&w 中"_s, {}, {}, {}, {}, {}}));

    // Without --save the file stays as it is.
    QVERIFY(app.writeFile(u"\\data\\user.dat", {}));
    FakeForum again;
    QVERIFY(again.serve());
    QCOMPARE(runLogin(app.folder().root(), {u"u"_s, u"p"_s}).exitCode, 0);
    QCOMPARE(app.readFile(u"\\data\\user.dat"), QByteArray());
}

void TestCliLogin::failure_printsTheErrorAndExitsOne_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("submitReply");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    const QByteArray accepted = FakeForumPages::submitAccepted();
    QTest::newRow("refused") << QStringList{u"u"_s, u"wrong-pw"_s}
                             << FakeForumPages::submitReply(u"{'loginperm':'2'}"_s) << 1
                             << u"登录失败，你还可以尝试2次。\n"_s;
    QTest::newRow("empty password") << QStringList{u"u"_s, QString()} << accepted << 1 << u"密码不能为空。\n"_s;
    QTest::newRow("no password") << QStringList{u"u"_s} << accepted << 2 << QString();
}

void TestCliLogin::failure_printsTheErrorAndExitsOne()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, submitReply);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    TempAppFolder app;
    FakeForum forum;
    QVERIFY(forum.serve());
    forum.server.on(FakeForumPages::submitPath()).reply(submitReply).closeEarly();
    const CliRun run = runLogin(app.folder().root(), args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.outText(), QString());
    if (!error.isEmpty())
        QCOMPARE(run.errText(), error);
    QVERIFY(!run.errText().contains(u"wrong-pw"_s));
}

QTEST_GUILESS_MAIN(TestCliLogin)
#include "tst_cli_login.moc"
