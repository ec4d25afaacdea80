#pragma once

#include "net/user_record.h"

#include <QUrl>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zorvane {

class ClickableLabel;
class ForumLogin;

// The first window: log in with a forum account or go on as a guest. It
// keeps the saved login and the two login settings; the dialogue with the
// forum is ForumLogin's.
class frmLogin : public QWidget
{
    Q_OBJECT

public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    // At start-up, in this order: the saved login into the two boxes and the
    // remember box from the settings, then the automatic login when the
    // settings ask for it.
    void loadSavedLogin();
    void autoLogin();

    // The status line: progress in black with the dots running, an error in
    // red with the dots stopped. Others show their progress here as well.
    void showProgress(const QString &text);
    void showError(const QString &text);

    // The six controls that must not be used while a login runs.
    void lockControls();
    void unlockControls();

    const UserRecord &userRecord() const;
    bool isLoggedIn() const;

    // Tests replace the browser the register page opens in.
    void setUrlOpener(std::function<void(const QUrl &)> opener) { m_openUrl = std::move(opener); }

    // Named controls.
    QLineEdit *txtUserName = nullptr;
    QLineEdit *txtPassword = nullptr;
    QCheckBox *chkRmbPwd = nullptr;
    QCheckBox *chkAutoLogin = nullptr;
    QPushButton *cmdLogin = nullptr;
    QPushButton *cmdGuest = nullptr;
    ClickableLabel *lblReg = nullptr;
    QLabel *lblmsg = nullptr;
    QTimer *timLogin = nullptr;
    // Brings the program's window forward, once per start (single shot).
    QTimer *timShowFocus = nullptr;
    ForumLogin *wskLogin = nullptr;

Q_SIGNALS:
    // The forum accepted the account; the controls stay locked.
    void loginFinished(const UserRecord &record);
    // The guest button was pressed; the controls stay locked.
    void guestChosen();

private Q_SLOTS:
    void cmdLogin_clicked();
    void cmdGuest_clicked();
    void chkRmbPwd_clicked(bool checked);
    void chkAutoLogin_clicked(bool checked);
    void lblReg_clicked();
    void timLogin_timeout();
    void wskLogin_failed(const QString &text);

private:
    void buildWindow();
    void storeFlag(bool stored);
    void setStatus(const QString &text, const QColor &colour);

    std::function<void(const QUrl &)> m_openUrl;
};

} // namespace zorvane
