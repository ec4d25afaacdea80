#include "editor/editor_host.h"
#include "editor/editor_scheme.h"
#include "editor/mode_name.h"
#include "editor/web_editor_host.h"
#include "fake_forum.h"
#include "main_window_fixture.h"
#include "net/service_checks.h"
#include "settings/config_keys.h"
#include "shell/app_life.h"
#include "shell/clickable_label.h"
#include "shell/frm_format.h"
#include "shell/frm_login.h"
#include "shell/notice_bar.h"
#include "shell/single_instance.h"
#include "shell/tray_icon.h"
#include "shell/user_area.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString UpdatePath = u"/index.php?m=show&action=upnew&time="_s;
const QString LogoutPath = u"/index.php?m=show&action=logout"_s;
const QString MissingFiles = u"关键文件缺失，请重新安装！"_s;
const QString UpdateFound = u"发现软件有较新版本，点击确定进行更新。"_s;

// The updater's stand-in notes its arguments, one a line.
bool writeStandInUpdater(const TempAppFolder &app)
{
    return app.writeFile(u"\\Patchwell",
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.ran.part\" && mv \"$0.ran.part\" \"$0.ran\"\n")
           && QFile::setPermissions(app.path(u"\\Patchwell"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A later start of the program, as far as the running copy can tell.
bool startAnotherCopy()
{
    QProcess copy;
    copy.start(QString::fromUtf8(SINGLE_INSTANCE_CHILD), {});
    QSignalSpy finished(&copy, &QProcess::finished);
    // The running copy answers on this event loop.
    return finished.wait(10000) && copy.exitCode() == 0 && copy.readAllStandardOutput() == "delivered\n";
}

} // namespace

// Zorvane's life in this process: its single instance in a runtime folder
// of the test's own, the service server faked, message boxes collected.
class TestAppLife : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void missingRequiredFile_stopsWithTheLogoutNotice_data();
    void missingRequiredFile_stopsWithTheLogoutNotice();
    void startUp_preparesTheLoginWindowAndEndsWithoutNotice_data();
    void startUp_preparesTheLoginWindowAndEndsWithoutNotice();
    void announcedUpdate_handsOverWithoutNotice_data();
    void announcedUpdate_handsOverWithoutNotice();
    void noServiceAnswer_reachesTheMainWindowWithTheSingleNotice_data();
    void noServiceAnswer_reachesTheMainWindowWithTheSingleNotice();
    void forumLogin_opensTheMainWindowWithTheUser();
    void laterStart_handsItsTextOver_data();
    void laterStart_handsItsTextOver();
    void trayClick_bringsTheHiddenMainWindowBack();

private:
    bool startLife();
    frmFormat *enterAsGuest();
    QString article() const;

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<TempAppFolder> m_app;
    std::unique_ptr<FakeHttpServer> m_service;
    std::unique_ptr<AppLife> m_life;
    std::unique_ptr<QSignalSpy> m_ended;
    QStringList m_messages;
};

void TestAppLife::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(m_app->isValid());
    QVERIFY(installBuiltEditorPage(*m_app));
    QVERIFY(writeStandInUpdater(*m_app));
    m_service = std::make_unique<FakeHttpServer>();
    QVERIFY(m_service->serve(Cfg::Servers::Service));
    m_messages.clear();
    m_life = std::make_unique<AppLife>();
    m_life->setMessageSink([this](const QString &text) { m_messages << text; });
    m_ended = std::make_unique<QSignalSpy>(m_life.get(), &AppLife::ended);
}

void TestAppLife::cleanup()
{
    m_ended.reset();
    m_life.reset();
    m_service.reset();
    m_app.reset();
    m_runtime.reset();
}

bool TestAppLife::startLife()
{
    return !m_life->start().has_value();
}

frmFormat *TestAppLife::enterAsGuest()
{
    QSignalSpy opened(m_life.get(), &AppLife::mainWindowOpened);
    m_life->loginWindow()->cmdGuest->click();
    if (!opened.wait(20000))
        return nullptr;
    frmFormat *window = m_life->mainWindow();
    QSignalSpy loaded(window, &frmFormat::loaded);
    if (!window->isLoaded() && !loaded.wait(30000))
        return nullptr;
    return window;
}

QString TestAppLife::article() const
{
    return getEditorHtml(m_life->mainWindow()->editorHost()).value_or(u"<no answer>"_s);
}

void TestAppLife::missingRequiredFile_stopsWithTheLogoutNotice_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("editor page") << u"\\lib\\index.html"_s;
    QTest::newRow("updater") << u"\\Patchwell"_s;
    QTest::newRow("saved login") << u"\\data\\user.dat"_s;
}

void TestAppLife::missingRequiredFile_stopsWithTheLogoutNotice()
{
    QFETCH(QString, file);
    QVERIFY(QFile::remove(m_app->path(file)));
    QVERIFY(startLife());
    QCOMPARE(m_messages, QStringList{MissingFiles});
    QVERIFY(m_ended->wait(5000));
    QCOMPARE(m_ended->takeFirst().at(0).toInt(), 1);
    QCOMPARE(m_service->requestsFor(LogoutPath).size(), 1);
    QVERIFY(!m_life->loginWindow()->isVisible());
    QVERIFY(!m_life->trayIcon());
    // The single instance is free for the next start.
    SingleInstance next;
    QCOMPARE(next.claim(), SingleInstance::Claim::First);
}

void TestAppLife::startUp_preparesTheLoginWindowAndEndsWithoutNotice_data()
{
    QTest::addColumn<bool>("fromTheTray");
    QTest::newRow("tray menu") << true;
    QTest::newRow("login window closed") << false;
}

void TestAppLife::startUp_preparesTheLoginWindowAndEndsWithoutNotice()
{
    QFETCH(bool, fromTheTray);
    const UserRecord saved{u"张三"_s, u"pw"_s, {}, {}, {}, {}, {}};
    QVERIFY(writeUserFile(userFilePath(m_app->folder()), saved));
    QVERIFY(setConfigFlag(Cfg::login::RemberPassword, true));
    QDir(m_app->path(u"\\img")).removeRecursively();

    QVERIFY(startLife());
    QVERIFY(QFileInfo(m_app->path(u"\\img")).isDir());
    QVERIFY(QFileInfo(m_app->path(u"\\update")).isDir());
    frmLogin *login = m_life->loginWindow();
    QVERIFY(login->isVisible());
    QCOMPARE(login->txtUserName->text(), saved.userName);
    QCOMPARE(login->txtPassword->text(), saved.password);
    QVERIFY(login->chkRmbPwd->isChecked());
    QVERIFY(login->timShowFocus->isActive());
    QVERIFY(m_messages.isEmpty());

    TrayIcon *tray = m_life->trayIcon();
    QVERIFY(tray);
    QVERIFY(!tray->icon()->icon().isNull());
    QCOMPARE(tray->icon()->toolTip(), QCoreApplication::applicationName());
    QCOMPARE(tray->Menu->actions(), QList<QAction *>{tray->ExitApp});
    QCOMPARE(tray->ExitApp->text(), u"退出程序"_s);

    // Neither road has passed the notices: no goodbye to the server.
    if (fromTheTray)
        tray->ExitApp->trigger();
    else
        QVERIFY(login->close());
    QVERIFY(m_ended->wait(5000));
    QCOMPARE(m_ended->takeFirst().at(0).toInt(), 0);
    QVERIFY(!m_life->trayIcon());
    QVERIFY(m_service->requests().isEmpty());
}

void TestAppLife::announcedUpdate_handsOverWithoutNotice_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("argument"); // empty: no updater started
    QTest::newRow("three fields, reordered") << QByteArray("a|b|c") << u"c|a|b"_s;
    QTest::newRow("fewer than three fields") << QByteArray("a|b") << QString();
}

void TestAppLife::announcedUpdate_handsOverWithoutNotice()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, argument);
    m_service->on(UpdatePath).respond(200, reply);
    QVERIFY(startLife());
    m_life->loginWindow()->cmdGuest->click();
    QVERIFY(m_ended->wait(10000));
    QCOMPARE(m_ended->takeFirst().at(0).toInt(), 0);
    QCOMPARE(m_messages, QStringList{UpdateFound});
    QVERIFY(!m_life->mainWindow());
    QVERIFY(!m_life->checks()->passedNoticeStep());
    const QString ran = m_app->path(u"\\Patchwell.ran");
    if (!argument.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 10000);
        QCOMPARE(m_app->readFile(u"\\Patchwell.ran"), argument.toUtf8() + '\n');
    } else {
        QVERIFY(!QFile::exists(ran));
    }
    // A logout notice would have been answered before the end.
    QCOMPARE(m_service->requestsFor(LogoutPath).size(), 0);
}

void TestAppLife::noServiceAnswer_reachesTheMainWindowWithTheSingleNotice_data()
{
    QTest::addColumn<bool>("listening");
    QTest::newRow("every request a 404") << true;
    QTest::newRow("nothing listens") << false;
}

void TestAppLife::noServiceAnswer_reachesTheMainWindowWithTheSingleNotice()
{
    QFETCH(bool, listening);
    if (!listening) {
        QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    }
    QVERIFY(startLife());
    frmFormat *main = enterAsGuest();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QVERIFY(!m_life->loginWindow()->isVisible());
    QCOMPARE(main->noticeBar().lblNotice.size(), 1);
    QCOMPARE(main->noticeBar().lblNotice.at(0)->text(), noConnectionNotice());
    QCOMPARE(main->userArea().lblKestCoin->text(), u"0枚"_s);
    QVERIFY(main->userArea().lblReg->isVisible());

    // No notification area here: closing the main window ends the program,
    // with the goodbye, since the checks passed the notices.
    QVERIFY(main->close());
    QVERIFY(m_ended->wait(5000));
    QCOMPARE(m_ended->takeFirst().at(0).toInt(), 0);
    if (listening)
        QCOMPARE(m_service->requestsFor(LogoutPath).size(), 1);
}

void TestAppLife::forumLogin_opensTheMainWindowWithTheUser()
{
    FakeForum forum;
    QVERIFY(forum.serve());
    QImage face(8, 8, QImage::Format_RGB32);
    face.fill(Qt::blue);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && face.save(&buffer, "BMP"));
    forum.server.on(FakeForumPages::avatarPath()).respond(200, bmp, "image/bmp");

    QVERIFY(startLife());
    frmLogin *login = m_life->loginWindow();
    // A name with a path separator still finds the picture the login wrote.
    login->txtUserName->setText(u"a/张三"_s);
    login->txtPassword->setText(u"pw"_s);
    QSignalSpy opened(m_life.get(), &AppLife::mainWindowOpened);
    login->cmdLogin->click();
    QVERIFY(opened.wait(20000));
    const UserArea &user = m_life->mainWindow()->userArea();
    QCOMPARE(user.lblUsername->text(), u"a/张三"_s);
    QCOMPARE(user.lblLevel->text(), u"中级会员"_s);
    QCOMPARE(user.lblPoint->text(), u"256"_s);
    QCOMPARE(user.lblKestCoin->text(), u"18枚"_s);
    QVERIFY(!user.imgFace->pixmap().isNull());
    QVERIFY(!user.lblReg->isVisibleTo(m_life->mainWindow()));
}

void TestAppLife::laterStart_handsItsTextOver_data()
{
    QTest::addColumn<bool>("mainWindowOpen");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("taken");
    const QByteArray text = toGbk(u"<p>浏览器里选的文字</p>"_s);
    QTest::newRow("text, main window open") << true << text << true;
    // The text waits in the file for the main window; taken at once it
    // would be gone before the window could show it.
    QTest::newRow("text, before the main window") << false << text << true;
    QTest::newRow("blanks, main window open") << true << QByteArray(" \r\n\r\n ") << false;
    QTest::newRow("blanks, before the main window") << false << QByteArray(" \r\n\r\n ") << false;
}

void TestAppLife::laterStart_handsItsTextOver()
{
    QFETCH(bool, mainWindowOpen);
    QFETCH(QByteArray, file);
    QFETCH(bool, taken);
    QVERIFY(startLife());
    frmFormat *main = mainWindowOpen ? enterAsGuest() : nullptr;
    QVERIFY(main || !mainWindowOpen);
    const QString before = main ? article() : QString();

    QVERIFY(m_app->writeFile(u"\\html\\cache.html", file));
    m_life->loginWindow()->timShowFocus->stop();
    QVERIFY(startAnotherCopy());
    QVERIFY(m_life->loginWindow()->timShowFocus->isActive());
    if (!main) {
        QCOMPARE(m_app->readFile(u"\\html\\cache.html"), file);
        main = enterAsGuest();
        QVERIFY(main);
    }

    QCOMPARE(main->mode(), taken ? ModeName::Yc : ModeName::Format);
    QCOMPARE(main->frm2->isVisible(), taken);
    if (taken) {
        QCOMPARE(article(), fromGbk(file));
        QVERIFY(m_app->readFile(u"\\html\\cache.html").trimmed().isEmpty());
    } else {
        QCOMPARE(m_app->readFile(u"\\html\\cache.html"), file);
        if (mainWindowOpen)
            QCOMPARE(article(), before);
    }
}

void TestAppLife::trayClick_bringsTheHiddenMainWindowBack()
{
    QVERIFY(startLife());
    frmFormat *main = enterAsGuest();
    QVERIFY(main);
    // As with a notification area: closing only hides.
    main->setHideOnClose(true);
    QVERIFY(!main->close());
    QVERIFY(main->hiddenByClose());
    QTimer *showFocus = m_life->loginWindow()->timShowFocus;
    showFocus->stop();
    Q_EMIT m_life->trayIcon()->icon()->activated(QSystemTrayIcon::Context);
    QVERIFY(!showFocus->isActive());
    Q_EMIT m_life->trayIcon()->icon()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(showFocus->isActive());
    QTRY_VERIFY(main->isVisible());
    QVERIFY(!main->hiddenByClose());
    QVERIFY(!m_life->loginWindow()->isVisible());

    main->showMinimized();
    showFocus->start();
    QTRY_VERIFY(!main->isMinimized());
    QVERIFY(m_ended->isEmpty());
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    TestAppLife test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_life.moc"
