#include "fake_forum.h"
#include "net/forum_login.h"
#include "settings/config_keys.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/frm_login.h"
#include "testsupport/object_names.h"
#include "testsupport/temp_app_folder.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QColor statusColour(const frmLogin &window)
{
    return window.lblmsg->palette().color(QPalette::WindowText);
}

QList<QWidget *> lockable(const frmLogin &window)
{
    return {window.txtUserName,  window.txtPassword, window.chkRmbPwd,
            window.chkAutoLogin, window.cmdLogin,    window.cmdGuest};
}

bool allEnabled(const frmLogin &window, bool enabled)
{
    for (QWidget *control : lockable(window)) {
        if (control->isEnabled() != enabled)
            return false;
    }
    return true;
}

const UserRecord saved{u"张三"_s, u"pw"_s, u" sid=abc;"_s, u"http://face/a"_s, u"会员"_s, u"5"_s, u"1"_s};

} // namespace

class TestFrmLogin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controls_areNamedOnceWithTheirCaptions();
    void statusLine_progressAndError();
    void emptyBox_refusesTheLogin_data();
    void emptyBox_refusesTheLogin();
    void boxes_storeTheirSettingAtOnce_data();
    void boxes_storeTheirSettingAtOnce();
    void savedLogin_fillsTheBoxes_data();
    void savedLogin_fillsTheBoxes();
    void login_savesTheFileFirst_data();
    void login_savesTheFileFirst();
    void failedLogin_unlocksWithTheErrorInRed();
    void autoLogin_data();
    void autoLogin();
    void registerAndGuest();

private:
    std::unique_ptr<TempAppFolder> m_app;
    std::unique_ptr<FakeForum> m_forum;
    std::unique_ptr<frmLogin> m_window;
};

void TestFrmLogin::init()
{
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(m_app->isValid());
    m_forum = std::make_unique<FakeForum>();
    QVERIFY(m_forum->serve());
    m_window = std::make_unique<frmLogin>();
    m_window->wskLogin->setTimeout(2s);
}

void TestFrmLogin::cleanup()
{
    m_window.reset();
    m_forum.reset();
    m_app.reset();
}

void TestFrmLogin::controls_areNamedOnceWithTheirCaptions()
{
    frmLogin &window = *m_window;
    QCOMPARE(window.findChild<QCheckBox *>(u"chkRmbPwd"_s)->text(), u"记住密码"_s);
    QCOMPARE(window.findChild<QCheckBox *>(u"chkAutoLogin"_s)->text(), u"自动登陆"_s);
    QCOMPARE(window.findChild<ClickableLabel *>(u"lblReg"_s)->text(), u"注册帐号"_s);
    QCOMPARE(window.findChild<QLabel *>(u"lblmsg"_s)->text(), u"提示:使用Brixel帐号登陆"_s);
    QCOMPARE(window.findChild<QLineEdit *>(u"txtPassword"_s)->echoMode(), QLineEdit::Password);
    QVERIFY(window.findChild<QLineEdit *>(u"txtUserName"_s));
    QVERIFY(window.findChild<QPushButton *>(u"cmdLogin"_s));
    QVERIFY(window.findChild<QPushButton *>(u"cmdGuest"_s));
    QCOMPARE(window.findChild<QTimer *>(u"timLogin"_s)->interval(), 500);
    QCOMPARE(window.findChild<QTimer *>(u"timShowFocus"_s)->interval(), 500);
    QVERIFY(window.timShowFocus->isSingleShot());
    QVERIFY(window.findChild<ForumLogin *>(u"wskLogin"_s));
    QCOMPARE(window.lblmsg->textFormat(), Qt::PlainText);
    QCOMPARE(duplicatedObjectNames(&window), QStringList());
}

void TestFrmLogin::statusLine_progressAndError()
{
    frmLogin &window = *m_window;
    window.timLogin->setInterval(5);
    window.showProgress(u"登录中"_s);
    QCOMPARE(window.lblmsg->text(), u"状态：登录中"_s);
    QCOMPARE(statusColour(window), QColor(Qt::black));
    QVERIFY(window.timLogin->isActive());
    // The dots grow to three, then start over.
    QTRY_COMPARE(window.lblmsg->text(), u"状态：登录中..."_s);
    QTRY_COMPARE(window.lblmsg->text(), u"状态：登录中"_s);

    window.showError(u"网络故障，请稍后重试。"_s);
    QCOMPARE(window.lblmsg->text(), u"出错：网络故障，请稍后重试。"_s);
    QCOMPARE(statusColour(window), QColor(Qt::red));
    QVERIFY(!window.timLogin->isActive());
}

void TestFrmLogin::emptyBox_refusesTheLogin_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no user name") << QString() << u"pw"_s << u"出错：用户名不能为空。"_s << u"txtUserName"_s;
    QTest::newRow("no password") << u"u"_s << QString() << u"出错：密码不能为空。"_s << u"txtPassword"_s;
}

void TestFrmLogin::emptyBox_refusesTheLogin()
{
    QFETCH(QString, userName);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    frmLogin &window = *m_window;
    window.txtUserName->setText(userName);
    window.txtPassword->setText(password);
    window.cmdLogin->click();
    QCOMPARE(window.lblmsg->text(), message);
    QCOMPARE(window.focusWidget()->objectName(), focus);
    QVERIFY(allEnabled(window, true));
    QVERIFY(!window.wskLogin->isRunning());
}

void TestFrmLogin::boxes_storeTheirSettingAtOnce_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("key");
    QTest::newRow("remember") << u"chkRmbPwd"_s << u"RemberPassword"_s;
    QTest::newRow("auto-login") << u"chkAutoLogin"_s << u"AutoLogin"_s;
}

void TestFrmLogin::boxes_storeTheirSettingAtOnce()
{
    QFETCH(QString, box);
    QFETCH(QString, key);
    QCheckBox *check = m_window->findChild<QCheckBox *>(box);
    const ConfigKey setting = key == u"AutoLogin" ? Cfg::login::AutoLogin : Cfg::login::RemberPassword;
    check->click();
    QCOMPARE(configText(setting), u"1"_s);
    check->click();
    QCOMPARE(configText(setting), u"0"_s);

    QVERIFY(QFile::setPermissions(m_app->folder().settingsFile(), QFile::ReadOwner));
    check->click();
    QCOMPARE(m_window->lblmsg->text(), u"出错："_s + frmSetting::saveFailedMessage());
    QCOMPARE(statusColour(*m_window), QColor(Qt::red));
}

void TestFrmLogin::savedLogin_fillsTheBoxes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("remember");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("saved login, remember on")
        << serializeUserRecord(saved) << u"1"_s << QStringList{u"张三"_s, u"pw"_s} << true;
    QTest::newRow("empty file leaves the boxes")
        << QByteArray() << u"0"_s << QStringList{u"typed"_s, u"typed"_s} << false;
    QTest::newRow("forgotten name and password") << serializeUserRecord({{}, {}, u"a=1;"_s, {}, {}, {}, {}}) << u"2"_s
                                                 << QStringList{QString(), QString()} << false;
}

void TestFrmLogin::savedLogin_fillsTheBoxes()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, remember);
    QFETCH(QStringList, boxes);
    QFETCH(bool, ticked);
    QVERIFY(m_app->writeFile(u"\\data\\user.dat", file));
    QVERIFY(setConfigText(Cfg::login::RemberPassword, remember));
    m_window->txtUserName->setText(u"typed"_s);
    m_window->txtPassword->setText(u"typed"_s);
    m_window->loadSavedLogin();
    QCOMPARE((QStringList{m_window->txtUserName->text(), m_window->txtPassword->text()}), boxes);
    QCOMPARE(m_window->chkRmbPwd->isChecked(), ticked);
}

void TestFrmLogin::login_savesTheFileFirst_data()
{
    QTest::addColumn<bool>("remember");
    QTest::addColumn<UserRecord>("written");
    QTest::newRow("remembered") << true << UserRecord{u"李四"_s,   u"new pw"_s,  saved.cookies, saved.avatarUrl,
                                                      saved.group, saved.points, saved.coins};
    QTest::newRow("not remembered: name and password emptied")
        << false << UserRecord{{}, {}, saved.cookies, saved.avatarUrl, saved.group, saved.points, saved.coins};
}

void TestFrmLogin::login_savesTheFileFirst()
{
    QFETCH(bool, remember);
    QFETCH(UserRecord, written);
    QVERIFY(m_app->writeFile(u"\\data\\user.dat", serializeUserRecord(saved)));
    m_forum->server.on(FakeForumPages::loginPath()).silent();
    frmLogin &window = *m_window;
    window.loadSavedLogin();
    window.chkRmbPwd->setChecked(remember);
    window.txtUserName->setText(u"李四"_s);
    window.txtPassword->setText(u"new pw"_s);
    window.cmdLogin->click();
    QCOMPARE(parseUserRecord(m_app->readFile(u"\\data\\user.dat")), written);
    QVERIFY(allEnabled(window, false));
    QCOMPARE(window.lblmsg->text(), u"状态：登录中"_s);
    QVERIFY(m_forum->server.waitForRequests(1));
}

void TestFrmLogin::failedLogin_unlocksWithTheErrorInRed()
{
    frmLogin &window = *m_window;
    m_forum->server.on(FakeForumPages::submitPath()).reply("HTTP/1.1 200 OK\r\n").closeEarly();
    QSignalSpy failed(window.wskLogin, &ForumLogin::failed);
    window.txtUserName->setText(u"u"_s);
    window.txtPassword->setText(u"secret-pw"_s);
    window.cmdLogin->click();
    QVERIFY(failed.wait());
    QVERIFY(allEnabled(window, true));
    QCOMPARE(window.lblmsg->text(), u"出错：网络故障，请稍后重试。"_s);
    QCOMPARE(statusColour(window), QColor(Qt::red));
    QVERIFY(!window.timLogin->isActive());
    QVERIFY(!window.isLoggedIn());
}

void TestFrmLogin::autoLogin_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<UserRecord>("file");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("message");
    QTest::newRow("on, with a saved login") << u"1"_s << saved << true << u"状态：登录中"_s;
    QTest::newRow("on, without a password")
        << u"1"_s << UserRecord{u"u"_s, {}, {}, {}, {}, {}, {}} << false << u"出错：帐号密码不能为空。"_s;
    QTest::newRow("off") << u"0"_s << saved << false << u"提示:使用Brixel帐号登陆"_s;
}

void TestFrmLogin::autoLogin()
{
    QFETCH(QString, setting);
    QFETCH(UserRecord, file);
    QFETCH(bool, starts);
    QFETCH(QString, message);
    const QByteArray bytes = serializeUserRecord(file);
    QVERIFY(m_app->writeFile(u"\\data\\user.dat", bytes));
    QVERIFY(setConfigText(Cfg::login::AutoLogin, setting));
    frmLogin &window = *m_window;
    window.loadSavedLogin();
    window.autoLogin();
    QCOMPARE(window.chkAutoLogin->isChecked(), setting == u"1");
    QCOMPARE(window.lblmsg->text(), message);
    QCOMPARE(window.wskLogin->isRunning(), starts);
    QVERIFY(allEnabled(window, !starts));
    if (starts) {
        QSignalSpy finished(&window, &frmLogin::loginFinished);
        QVERIFY(finished.wait());
        const auto record = finished.first().first().value<UserRecord>();
        QCOMPARE(record.group, u"中级会员"_s);
        QCOMPARE(window.userRecord(), record);
        QVERIFY(window.isLoggedIn());
        QVERIFY(allEnabled(window, false));
    }
    // The automatic login leaves the saved file as it was.
    QCOMPARE(m_app->readFile(u"\\data\\user.dat"), bytes);
}

void TestFrmLogin::registerAndGuest()
{
    frmLogin &window = *m_window;
    QList<QUrl> opened;
    window.setUrlOpener([&opened](const QUrl &url) { opened << url; });
    QTest::mouseClick(window.lblReg, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(u"http://"_s + m_forum->server.address() + u"/member.php?mod=register.php"_s)});

    QSignalSpy guest(&window, &frmLogin::guestChosen);
    window.cmdGuest->click();
    QCOMPARE(guest.size(), 1);
    QVERIFY(allEnabled(window, false));
    QVERIFY(!window.isLoggedIn());
    QCOMPARE(m_forum->server.requests().size(), 0);
}

QTEST_MAIN(TestFrmLogin)
#include "tst_frm_login.moc"
