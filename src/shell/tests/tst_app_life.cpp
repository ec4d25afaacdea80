#include "editor/editor_host.h"
#include "editor/editor_scheme.h"
#include "editor/editor_session.h"
#include "editor/mode_name.h"
#include "editor/web_editor_host.h"
#include "fake_forum.h"
#include "main_window_fixture.h"
#include "net/service_checks.h"
#include "shell/app_life.h"
#include "shell/clickable_label.h"
#include "shell/frm_login.h"
#include "shell/notice_bar.h"
#include "shell/single_instance.h"
#include "shell/tray_icon.h"
#include "shell/user_area.h"
#include "text/gbk.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString LogoutPath = u"/index.php?m=show&action=logout"_s;

bool writeProgram(const TempAppFolder &app, QStringView file, const QByteArray &bytes)
{
    return app.writeFile(file, bytes) && QFile::setPermissions(app.path(file), QFile::ReadOwner | QFile::ExeOwner);
}

// The real Zorvane started from the test's folder, with its start-up log.
struct Program
{
    QProcess process;
    QByteArray log;

    explicit Program(const TempAppFolder &app)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_LOGGING_RULES"_s, u"zorvane.startup.info=true"_s);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(app.path(u"\\Zorvane"), {});
    }
    ~Program()
    {
        process.kill();
        process.waitForFinished();
    }
    bool running() const { return process.state() != QProcess::NotRunning; }
    // Until the log holds line, or the program ended.
    bool logged(const QByteArray &line)
    {
        const QDeadlineTimer deadline(20000);
        for (log += process.readAll(); !log.contains(line); log += process.readAll()) {
            if (!process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        return true;
    }
    bool endedWithZero()
    {
        process.waitForFinished(10000);
        return !running() && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};

} // namespace

// Zorvane's life in this process (its single instance in a runtime folder of
// the test's own, the service server faked, message boxes collected), and
// the real program where only separate processes tell.
class TestAppLife : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startUp_data();
    void startUp();
    void serviceChecks_data();
    void serviceChecks();
    void forumLogin_showsTheUserInTheMainWindow();
    void laterStart_handsItsTextOver_data();
    void laterStart_handsItsTextOver();
    void showFocus_bringsTheHiddenMainWindowBack();
    void realProgram_leavesOneCopyRunning();

private:
    frmFormat *enterAsGuest();
    QString article() const { return getEditorHtml(m_life->mainWindow()->editorHost()).value_or(u"?"_s); }

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
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(installBuiltEditorPage(*m_app));
    // The updater's stand-in notes its arguments.
    QVERIFY(writeProgram(*m_app, u"\\Patchwell",
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.ran\"\n"));
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

frmFormat *TestAppLife::enterAsGuest()
{
    QSignalSpy opened(m_life.get(), &AppLife::mainWindowOpened);
    m_life->loginWindow()->cmdGuest->click();
    if (!opened.wait(20000))
        return nullptr;
    QSignalSpy loaded(m_life->mainWindow(), &frmFormat::loaded);
    return m_life->mainWindow()->isLoaded() || loaded.wait(30000) ? m_life->mainWindow() : nullptr;
}

void TestAppLife::startUp_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<bool>("fromTheTray"); // else the login window is closed
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("logouts");
    // Stopped at the files, the program still says goodbye.
    QTest::newRow("editor page missing") << u"\\lib\\index.html"_s << false << 1 << 1;
    QTest::newRow("updater missing") << u"\\Patchwell"_s << false << 1 << 1;
    QTest::newRow("ended from the tray menu") << QString() << true << 0 << 0;
    QTest::newRow("login window closed") << QString() << false << 0 << 0;
}

void TestAppLife::startUp()
{
    QFETCH(QString, missing);
    QFETCH(bool, fromTheTray);
    QFETCH(int, exitCode);
    QFETCH(int, logouts);
    QVERIFY(writeUserFile(userFilePath(m_app->folder()), {u"张三"_s, u"pw"_s, {}, {}, {}, {}, {}}));
    QVERIFY(setConfigFlag(Cfg::login::RemberPassword, true));
    QVERIFY(!QFileInfo::exists(m_app->path(u"\\img")));
    if (!missing.isEmpty())
        QVERIFY(QFile::remove(m_app->path(missing)));

    QVERIFY(!m_life->start());
    frmLogin *login = m_life->loginWindow();
    if (!missing.isEmpty()) {
        QCOMPARE(m_messages, QStringList{u"关键文件缺失，请重新安装！"_s});
        QVERIFY(!login->isVisible());
    } else {
        QVERIFY(m_messages.isEmpty());
        QVERIFY(QFileInfo(m_app->path(u"\\img")).isDir() && QFileInfo(m_app->path(u"\\update")).isDir());
        QVERIFY(login->isVisible() && login->timShowFocus->isActive());
        QCOMPARE(login->txtUserName->text() + login->txtPassword->text(), u"张三pw"_s);
        QVERIFY(login->chkRmbPwd->isChecked());
        const TrayIcon *tray = m_life->trayIcon();
        QVERIFY(!tray->icon()->icon().isNull());
        QCOMPARE(tray->icon()->toolTip(), QCoreApplication::applicationName());
        QCOMPARE(tray->Menu->actions(), QList<QAction *>{tray->ExitApp});
        QCOMPARE(tray->ExitApp->text(), u"退出程序"_s);
        if (fromTheTray)
            tray->ExitApp->trigger();
        else
            QVERIFY(login->close());
    }
    QVERIFY(m_ended->wait(5000));
    QCOMPARE(m_ended->at(0).at(0).toInt(), exitCode);
    QCOMPARE(m_service->requestsFor(LogoutPath).size(), logouts);
    QVERIFY(!m_life->trayIcon());
    SingleInstance next;
    QCOMPARE(next.claim(), SingleInstance::Claim::First);
}

void TestAppLife::serviceChecks_data()
{
    QTest::addColumn<QByteArray>("update");
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QByteArray>("updater"); // its arguments; empty: not started
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("handedOver");
    const QByteArray update = "a|b|c";
    QTest::newRow("update, three fields reordered") << update << true << QByteArray("c|a|b\n") << true << true;
    // Nothing the updater would install: the main window, as for no update.
    QTest::newRow("update of two fields: the main window")
        << QByteArray("a|b") << true << QByteArray() << true << false;
    // The user pressed OK for an update: ending silently would say it runs.
    QTest::newRow("update, the updater cannot start") << update << true << QByteArray() << false << true;
    QTest::newRow("every reply a 404") << QByteArray() << true << QByteArray() << true << false;
    QTest::newRow("nothing listens") << QByteArray() << false << QByteArray() << true << false;
}

void TestAppLife::serviceChecks()
{
    QFETCH(QByteArray, update);
    QFETCH(bool, listening);
    QFETCH(QByteArray, updater);
    QFETCH(bool, executable);
    QFETCH(bool, handedOver);
    // The maker's key: without it no update is handed over.
    QVERIFY(m_app->writeFile(u"\\setting\\update.pub", "untrusted comment: the maker's key\n"));
    if (!executable)
        QVERIFY(QFile::setPermissions(m_app->path(u"\\Patchwell"), QFile::ReadOwner));
    if (!update.isEmpty())
        m_service->on(u"/index.php?m=show&action=upnew&time="_s).respond(200, update);
    if (!listening)
        QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    QVERIFY(!m_life->start());

    if (!handedOver) {
        // The main window, whatever the server did, then its close ends the
        // program where no tray icon would hold it: with the goodbye.
        frmFormat *main = enterAsGuest();
        QVERIFY(main && main->isVisible() && !m_life->loginWindow()->isVisible());
        QCOMPARE(main->noticeBar().lblNotice.size(), 1);
        QCOMPARE(main->noticeBar().lblNotice.at(0)->text(), noConnectionNotice());
        QCOMPARE(main->userArea().lblKestCoin->text(), u"0枚"_s);
        QVERIFY(main->close());
    } else {
        m_life->loginWindow()->cmdGuest->click();
    }
    QVERIFY(m_ended->wait(10000));
    QCOMPARE(m_ended->at(0).at(0).toInt(), 0);
    QCOMPARE(m_service->requestsFor(LogoutPath).size(), listening && !handedOver ? 1 : 0);
    if (!handedOver)
        return;
    QStringList messages{u"发现软件有较新版本，点击确定进行更新。"_s};
    if (!executable)
        messages << u"更新程序无法启动，请重新安装。"_s;
    QCOMPARE(m_messages, messages);
    QVERIFY(!m_life->mainWindow());
    if (!updater.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(m_app->readFile(u"\\Patchwell.ran"), updater, 10000);
    else
        QVERIFY(!QFileInfo::exists(m_app->path(u"\\Patchwell.ran")));
}

void TestAppLife::forumLogin_showsTheUserInTheMainWindow()
{
    FakeForum forum;
    QVERIFY(forum.serve());
    QImage face(8, 8, QImage::Format_RGB32);
    face.fill(Qt::blue);
    QBuffer bmp;
    QVERIFY(bmp.open(QIODevice::WriteOnly) && face.save(&bmp, "BMP"));
    forum.server.on(FakeForumPages::avatarPath()).respond(200, bmp.data(), "image/bmp");
    QVERIFY(!m_life->start());
    frmLogin *login = m_life->loginWindow();
    // A name with a path separator: the picture is where the login put it.
    login->txtUserName->setText(u"a/张三"_s);
    login->txtPassword->setText(u"pw"_s);
    QSignalSpy opened(m_life.get(), &AppLife::mainWindowOpened);
    login->cmdLogin->click();
    QVERIFY(opened.wait(20000));
    const UserArea &user = m_life->mainWindow()->userArea();
    QCOMPARE(
        QStringList({user.lblUsername->text(), user.lblLevel->text(), user.lblPoint->text(), user.lblKestCoin->text()}),
        QStringList({u"a/张三"_s, u"中级会员"_s, u"256"_s, u"18枚"_s}));
    QVERIFY(!user.imgFace->pixmap().isNull());
    QVERIFY(!user.lblReg->isVisibleTo(m_life->mainWindow()));
}

void TestAppLife::laterStart_handsItsTextOver_data()
{
    QTest::addColumn<bool>("mainWindowOpen");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("textMode");
    const QByteArray text = toGbk(u"<p>浏览器里选的文字</p>"_s);
    QTest::newRow("text, main window open") << true << text << false;
    // Closed later, the text box would write its old text over the new.
    QTest::newRow("text, main window in text mode") << true << text << true;
    // Taken at once, the text would be gone before the window could show it.
    QTest::newRow("text, before the main window") << false << text << false;
    QTest::newRow("blanks, main window open") << true << QByteArray(" \r\n\r\n ") << false;
    QTest::newRow("blanks, before the main window") << false << QByteArray(" \r\n\r\n ") << false;
}

void TestAppLife::laterStart_handsItsTextOver()
{
    QFETCH(bool, mainWindowOpen);
    QFETCH(QByteArray, file);
    QFETCH(bool, textMode);
    const bool taken = !file.trimmed().isEmpty();
    QVERIFY(!m_life->start());
    frmFormat *main = mainWindowOpen ? enterAsGuest() : nullptr;
    QVERIFY(main || !mainWindowOpen);
    const QString before = main ? article() : QString();
    if (textMode)
        main->editor().toggleTextMode();

    QVERIFY(m_app->writeFile(u"\\html\\cache.html", file));
    m_life->loginWindow()->timShowFocus->stop();
    QProcess later; // a start as the running copy sees it
    QSignalSpy finished(&later, &QProcess::finished);
    later.start(QString::fromUtf8(SINGLE_INSTANCE_CHILD), {});
    QVERIFY(finished.wait(10000));
    QCOMPARE(later.readAllStandardOutput(), QByteArray("delivered\n"));
    QVERIFY(m_life->loginWindow()->timShowFocus->isActive());
    if (!main) {
        QCOMPARE(m_app->readFile(u"\\html\\cache.html"), file);
        QVERIFY(main = enterAsGuest());
    }

    QCOMPARE(main->mode(), taken ? ModeName::Yc : ModeName::Format);
    QCOMPARE(main->frm2->isVisible(), taken);
    QVERIFY(!main->editor().textMode());
    if (taken || mainWindowOpen)
        QCOMPARE(article(), taken ? fromGbk(file) : before);
    // The file is taken away whole once read, blank or not.
    QVERIFY(!QFile::exists(m_app->path(u"\\html\\cache.html")));
}

void TestAppLife::showFocus_bringsTheHiddenMainWindowBack()
{
    QVERIFY(!m_life->start());
    frmFormat *main = enterAsGuest();
    QVERIFY(main);
    main->setHideOnClose(true); // as with a notification area
    QVERIFY(!main->close());
    QTimer *showFocus = m_life->loginWindow()->timShowFocus;
    showFocus->stop();
    Q_EMIT m_life->trayIcon()->icon()->activated(QSystemTrayIcon::Context);
    QVERIFY(!showFocus->isActive());
    Q_EMIT m_life->trayIcon()->icon()->activated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(main->isVisible() && !main->hiddenByClose());
    QVERIFY(!m_life->loginWindow()->isVisible());
    main->showMinimized();
    showFocus->start();
    QTRY_VERIFY(!main->isMinimized());
    QVERIFY(m_ended->isEmpty());
}

void TestAppLife::realProgram_leavesOneCopyRunning()
{
    QVERIFY(QFile::copy(QString::fromUtf8(ZORVANE_APP_DIR "/Zorvane"), m_app->path(u"\\Zorvane")));
    // Started together: one shows its login window, the other wakes it and
    // ends. Later rounds also find the lock of the copy killed before.
    for (int round = 0; round < 3; ++round) {
        Program a(*m_app);
        Program b(*m_app);
        QTRY_VERIFY_WITH_TIMEOUT(!a.running() || !b.running(), 20000);
        Program &running = a.running() ? a : b;
        QVERIFY((a.running() ? b : a).endedWithZero());
        QVERIFY(running.logged("login window shown") && running.logged("woken by a later start"));
    }
    // A copy killed outright leaves its socket and its lock behind.
    const QString socket = m_runtime->path() + u'/' + SingleInstance::instanceName();
    QVERIFY(QFileInfo::exists(socket) && QFileInfo::exists(socket + u".lock"_s));
    Program next(*m_app);
    QVERIFY(next.logged("login window shown"));
    Program later(*m_app);
    QVERIFY(later.endedWithZero());
    QVERIFY(next.logged("woken by a later start"));
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    TestAppLife test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_life.moc"
