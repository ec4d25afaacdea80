#include "shell/app_life.h"

#include "net/service_checks.h"
#include "net/service_client.h"
#include "settings/app_folder.h"
#include "shell/frm_format.h"
#include "shell/frm_login.h"
#include "shell/hand_off.h"
#include "shell/single_instance.h"
#include "shell/startup_files.h"
#include "shell/tray_icon.h"
#include "snapshot/word_libraries.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace zorvane {

Q_LOGGING_CATEGORY(lcStartup, "zorvane.startup", QtWarningMsg)

AppLife::AppLife(QObject *parent)
    : QObject(parent)
    , m_instance(new SingleInstance(this))
    , m_service(std::make_unique<ServiceClient>())
    , m_libraries(std::make_unique<WordLibraries>())
{
    m_clock.start();
}

AppLife::~AppLife()
{
    // The main window uses the service client: it goes first.
    m_main.reset();
    m_login.reset();
}

std::optional<int> AppLife::start()
{
    switch (m_instance->claim()) {
    case SingleInstance::Claim::AlreadyRunning:
        // The running copy takes over; this one shows nothing.
        if (!m_instance->activateRunning())
            qCWarning(lcStartup, "the running copy did not answer");
        return 0;
    case SingleInstance::Claim::Unguarded:
        qCWarning(lcStartup, "no lock for a single copy could be taken: running unguarded");
        break;
    case SingleInstance::Claim::First:
        break;
    }
    connect(m_instance, &SingleInstance::activated, this, &AppLife::instance_activated);
    // The login window hides once the main window is open, and with the tray
    // icon the main window only hides when closed: the program ends through
    // the shutdown alone.
    QApplication::setQuitOnLastWindowClosed(false);

    const AppFolder folder = AppFolder::current();
    QApplication::setWindowIcon(QIcon(folder.path(u"\\res\\zorvane.png")));
    m_login = std::make_unique<frmLogin>();
    m_login->installEventFilter(this);
    connect(m_login->timShowFocus, &QTimer::timeout, this, &AppLife::timShowFocus_timeout);
    connect(m_login.get(), &frmLogin::loginFinished, this, &AppLife::runChecks);
    connect(m_login.get(), &frmLogin::guestChosen, this, &AppLife::runChecks);

    if (const std::optional<QString> missing = missingRequiredFile(folder)) {
        qCWarning(lcStartup, "required file missing: %s", qPrintable(*missing));
        showMessage(u"关键文件缺失，请重新安装！"_s, nullptr);
        m_logoutDue = true;
        shutdown(1);
        return std::nullopt;
    }
    // Left unreported: compressed images and update packages report their
    // own failure when they cannot be written there.
    if (!createWorkFolders(folder))
        qCWarning(lcStartup, "the folders img and update could not be created");

    m_tray = std::make_unique<TrayIcon>(QApplication::windowIcon(), QCoreApplication::applicationName());
    connect(m_tray.get(), &TrayIcon::clicked, m_login->timShowFocus, qOverload<>(&QTimer::start));
    // Queued: the shutdown removes the menu whose item is still being handled.
    connect(
        m_tray.get(), &TrayIcon::exitChosen, this, [this] { shutdown(0); }, Qt::QueuedConnection);
    m_trayShown = TrayIcon::available();
    if (m_trayShown)
        m_tray->icon()->show();

    m_login->loadSavedLogin();
    m_login->autoLogin();
    m_login->timShowFocus->start();
    m_login->show();
    qCInfo(lcStartup, "login window opened after %lld ms", m_clock.elapsed());
    return std::nullopt;
}

void AppLife::shutdown(int exitCode)
{
    if (m_shuttingDown)
        return;
    m_shuttingDown = true;
    if (m_main)
        m_main->hide();
    if (m_login) {
        m_login->timShowFocus->stop();
        m_login->timLogin->stop();
        m_login->hide();
    }
    m_tray.reset();
    m_instance->release();

    auto end = [this, exitCode] { Q_EMIT ended(exitCode); };
    // Not at the hand-over to the updater: the checks stop before the notices.
    if (m_logoutDue || (m_checks && m_checks->passedNoticeStep()))
        sendLogoutNotice(this, end);
    else
        QTimer::singleShot(0, this, end);
}

bool AppLife::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_login.get() && event->type() == QEvent::Paint && !m_loginShownLogged) {
        m_loginShownLogged = true;
        qCInfo(lcStartup, "login window shown after %lld ms", m_clock.elapsed());
    }
    if (event->type() == QEvent::Close && !m_shuttingDown) {
        // The login window closed before the main window took over, or the
        // main window closed where no tray icon keeps the program reachable:
        // either way nothing of the program would be left on screen.
        const bool last = (watched == m_login.get() && !m_main) || (watched == m_main.get() && !m_main->hideOnClose());
        if (last)
            QTimer::singleShot(0, this, [this] { shutdown(0); });
    }
    return QObject::eventFilter(watched, event);
}

void AppLife::instance_activated()
{
    if (m_shuttingDown)
        return;
    qCInfo(lcStartup, "woken by a later start");
    const AppFolder folder = AppFolder::current();
    if (m_main) {
        if (const std::optional<QString> text = takeActivationText(folder))
            m_main->receiveHandOff(*text);
    } else if (holdsActivationText(folder)) {
        // Taking the text now would empty the file before the main window
        // reads it, and the text would be lost: it stays there until then.
        m_startedWithText = true;
    }
    m_login->timShowFocus->start();
}

void AppLife::timShowFocus_timeout()
{
    if (m_shuttingDown)
        return;
    QWidget *window = m_login.get();
    if (m_main) {
        window = m_main.get();
        if (m_main->isHidden())
            m_main->show();
    } else {
        window->show();
    }
    // A minimised window comes back as it was before, maximised or not.
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

void AppLife::runChecks()
{
    if (m_checks || m_shuttingDown)
        return;
    m_choice.start();
    qCInfo(lcStartup, "service checks started %s", m_login->isLoggedIn() ? "after the login" : "for a guest");
    m_checks = new ServiceChecks(*m_service, ServiceChecks::UpdatePolicy::HandOver, this);
    connect(m_checks, &ServiceChecks::progress, m_login.get(), &frmLogin::showProgress);
    connect(m_checks, &ServiceChecks::handOverRequested, this, &AppLife::checks_handOverRequested);
    connect(m_checks, &ServiceChecks::updateIgnored, this,
            [](const QString &why) { qCWarning(lcStartup, "update reply not handed over: %s", qPrintable(why)); });
    connect(m_checks, &ServiceChecks::finished, this, &AppLife::checks_finished);
    connect(m_checks, &ServiceChecks::libraryChecked, this, [this](const LibraryCheck &check) {
        // The stored version stays as it was, so the next start tries again.
        if (check.outcome == LibraryCheck::Outcome::WriteFailed)
            qCWarning(lcStartup, "word library update not stored: %s", qPrintable(check.failedAt));
        if (check.outcome == LibraryCheck::Outcome::Updated) {
            qCInfo(lcStartup, "%s library updated to version %s, %d entries",
                   check.library == ServedLibrary::ErrorWords ? "typo" : "synonym", qPrintable(check.version),
                   check.count);
            m_libraries->reload(check.library == ServedLibrary::ErrorWords ? WordLibraries::Library::Typos
                                                                           : WordLibraries::Library::Synonyms);
        }
    });
    m_checks->start();
}

void AppLife::checks_handOverRequested(const std::optional<QString> &argument)
{
    if (m_shuttingDown)
        return;
    qCInfo(lcStartup, "update announced %lld ms after the login", m_choice.elapsed());
    showMessage(u"发现软件有较新版本，点击确定进行更新。"_s, m_login.get());
    const AppFolder folder = AppFolder::current();
    if (!argument) {
        qCWarning(lcStartup, "the update reply names no package: no updater started");
    } else if (startProgram(folder, Program::Patchwell, {*argument})) {
        qCInfo(lcStartup, "updater started");
    } else {
        qCWarning(lcStartup, "the updater could not be started");
        showMessage(u"更新程序无法启动，请重新安装。"_s, m_login.get());
    }
    shutdown(0);
}

void AppLife::checks_finished(const QList<Notice> &notices)
{
    if (m_shuttingDown)
        return;
    qCInfo(lcStartup, "service checks done %lld ms after the login, %lld notices", m_choice.elapsed(),
           qint64(notices.size()));
    openMainWindow(notices);
}

void AppLife::openMainWindow(const QList<Notice> &notices)
{
    frmFormat::Options options;
    options.startedWithText = m_startedWithText;
    if (m_login->isLoggedIn())
        options.user = m_login->userRecord();
    options.notices = notices;
    options.service = m_service.get();
    options.libraries = m_libraries.get();
    m_main = std::make_unique<frmFormat>(options);
    m_startedWithText = false;
    m_main->setHideOnClose(m_trayShown);
    if (m_messageSink)
        m_main->setMessageSink(m_messageSink);
    m_main->installEventFilter(this);
    connect(m_main.get(), &frmFormat::editorReady, this, [this] {
        qCInfo(lcStartup, "main window ready with its editor %lld ms after the login (%lld ms after the start)",
               m_choice.elapsed(), m_clock.elapsed());
    });
    connect(m_main.get(), &frmFormat::loaded, this,
            [this] { qCInfo(lcStartup, "start content in place %lld ms after the login", m_choice.elapsed()); });
    m_main->show();
    m_login->timLogin->stop();
    m_login->hide();
    Q_EMIT mainWindowOpened();
}

void AppLife::showMessage(const QString &text, QWidget *parent)
{
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    QMessageBox::information(parent, QCoreApplication::applicationName(), text);
}

} // namespace zorvane
