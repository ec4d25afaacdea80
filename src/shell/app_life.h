#pragma once

#include "net/notice.h"

#include <QElapsedTimer>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace zorvane {

class frmFormat;
class frmLogin;
class ServiceChecks;
class ServiceClient;
class SingleInstance;
class TrayIcon;
class WordLibraries;

// QT_LOGGING_RULES="zorvane.startup.info=true" tells how long each stage of
// the start took.
Q_DECLARE_LOGGING_CATEGORY(lcStartup)

// Zorvane from its start to its end. One copy runs per user: a later start
// wakes it and ends. The running copy checks its files, puts its icon in the
// notification area and opens the login window; a login or the guest button
// starts the service checks, which either hand over to the updater or open
// the main window. A later start's hand-off and a click on the icon bring the
// right window forward. The shutdown removes the icon, frees the single
// instance and says goodbye to the service server when it is due. The
// windows only show: what happens next is decided here.
class AppLife : public QObject
{
    Q_OBJECT

public:
    explicit AppLife(QObject *parent = nullptr);
    ~AppLife() override;

    // The moment the program started, for the start-up log (default: when
    // this object was made).
    void setStartClock(const QElapsedTimer &clock) { m_clock = clock; }
    // Tests collect message boxes here, those of the main window included.
    void setMessageSink(std::function<void(const QString &)> sink) { m_messageSink = std::move(sink); }

    // The start-up, up to the login window on screen. A value: this copy ends
    // at once with that exit status (another copy runs and has been woken).
    // Nullopt: the program runs until ended().
    std::optional<int> start();

    // Runs once: the windows go, the tray icon is removed, the single instance
    // is freed, the logout notice is sent when due (bounded), then ended().
    void shutdown(int exitCode = 0);

    SingleInstance &singleInstance() const { return *m_instance; }
    frmLogin *loginWindow() const { return m_login.get(); }
    // Null until the service checks are done.
    frmFormat *mainWindow() const { return m_main.get(); }
    // Null before the start-up reached it and after the shutdown.
    TrayIcon *trayIcon() const { return m_tray.get(); }
    // Null until a login or the guest button started them.
    ServiceChecks *checks() const { return m_checks; }

Q_SIGNALS:
    void mainWindowOpened();
    // The program is to end now with this exit status.
    void ended(int exitCode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void instance_activated();
    void timShowFocus_timeout();
    void runChecks();
    void checks_handOverRequested(const std::optional<QString> &argument);
    void checks_finished(const QList<Notice> &notices);

private:
    void showMessage(const QString &text, QWidget *parent);
    void openMainWindow(const QList<Notice> &notices);

    QElapsedTimer m_clock;
    QElapsedTimer m_choice; // since the login or the guest button
    std::function<void(const QString &)> m_messageSink;

    SingleInstance *m_instance;
    std::unique_ptr<ServiceClient> m_service;
    // The word libraries of the run: the main window's commands use them,
    // and the service checks may replace their files before they do.
    std::unique_ptr<WordLibraries> m_libraries;
    ServiceChecks *m_checks = nullptr;
    std::unique_ptr<frmLogin> m_login;
    std::unique_ptr<frmFormat> m_main;
    std::unique_ptr<TrayIcon> m_tray;

    bool m_trayShown = false;
    // A later start handed text over before the main window was open; the
    // text stays in the hand-off file, where the main window takes it.
    bool m_startedWithText = false;
    // The start-up stopped at the files check: the shutdown says goodbye too.
    bool m_logoutDue = false;
    bool m_loginShownLogged = false;
    bool m_shuttingDown = false;
};

} // namespace zorvane
