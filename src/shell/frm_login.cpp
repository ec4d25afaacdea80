#include "shell/frm_login.h"

#include "net/forum_login.h"
#include "net/servers.h"
#include "settings/config_keys.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/named_control.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

constexpr int DotsInterval = 500;
constexpr int ShowFocusDelay = 500;

} // namespace

frmLogin::frmLogin(QWidget *parent)
    : QWidget(parent)
    , m_openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(u"frmLogin"_s);
    setWindowTitle(u"Zorvane"_s);
    buildWindow();
}

frmLogin::~frmLogin() = default;

void frmLogin::buildWindow()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(24, 18, 24, 18);
    root->setSpacing(10);

    lblmsg = named(new QLabel(u"提示:使用Brixel帐号登陆"_s, this), u"lblmsg"_s);
    // Tries-left counts and the like come from the forum.
    lblmsg->setTextFormat(Qt::PlainText);
    lblmsg->setMinimumWidth(280);
    root->addWidget(lblmsg);

    auto *boxes = new QGridLayout;
    txtUserName = named(new QLineEdit(this), u"txtUserName"_s);
    txtPassword = named(new QLineEdit(this), u"txtPassword"_s);
    txtPassword->setEchoMode(QLineEdit::Password);
    boxes->addWidget(new QLabel(u"帐号："_s, this), 0, 0);
    boxes->addWidget(txtUserName, 0, 1);
    boxes->addWidget(new QLabel(u"密码："_s, this), 1, 0);
    boxes->addWidget(txtPassword, 1, 1);
    root->addLayout(boxes);

    auto *options = new QHBoxLayout;
    chkRmbPwd = named(new QCheckBox(u"记住密码"_s, this), u"chkRmbPwd"_s);
    chkAutoLogin = named(new QCheckBox(u"自动登陆"_s, this), u"chkAutoLogin"_s);
    lblReg = named(new ClickableLabel(u"注册帐号"_s, this), u"lblReg"_s);
    lblReg->showAsLink();
    options->addWidget(chkRmbPwd);
    options->addWidget(chkAutoLogin);
    options->addStretch(1);
    options->addWidget(lblReg);
    root->addLayout(options);

    auto *buttons = new QHBoxLayout;
    cmdLogin = named(new QPushButton(u"登录"_s, this), u"cmdLogin"_s);
    cmdGuest = named(new QPushButton(u"游客进入"_s, this), u"cmdGuest"_s);
    cmdLogin->setDefault(true);
    buttons->addWidget(cmdLogin);
    buttons->addWidget(cmdGuest);
    root->addLayout(buttons);

    timLogin = named(new QTimer(this), u"timLogin"_s);
    timLogin->setInterval(DotsInterval);
    timShowFocus = named(new QTimer(this), u"timShowFocus"_s);
    timShowFocus->setInterval(ShowFocusDelay);
    timShowFocus->setSingleShot(true);
    wskLogin = named(new ForumLogin(this), u"wskLogin"_s);

    connect(cmdLogin, &QPushButton::clicked, this, &frmLogin::cmdLogin_clicked);
    connect(cmdGuest, &QPushButton::clicked, this, &frmLogin::cmdGuest_clicked);
    connect(chkRmbPwd, &QCheckBox::clicked, this, &frmLogin::chkRmbPwd_clicked);
    connect(chkAutoLogin, &QCheckBox::clicked, this, &frmLogin::chkAutoLogin_clicked);
    connect(lblReg, &ClickableLabel::clicked, this, &frmLogin::lblReg_clicked);
    connect(timLogin, &QTimer::timeout, this, &frmLogin::timLogin_timeout);
    connect(wskLogin, &ForumLogin::progress, this, &frmLogin::showProgress);
    connect(wskLogin, &ForumLogin::failed, this, &frmLogin::wskLogin_failed);
    connect(wskLogin, &ForumLogin::succeeded, this, &frmLogin::loginFinished);
}

void frmLogin::loadSavedLogin()
{
    if (const std::optional<UserRecord> saved = readUserFile(userFilePath(AppFolder::current()))) {
        wskLogin->setRecord(*saved);
        txtUserName->setText(saved->userName);
        txtPassword->setText(saved->password);
    }
    chkRmbPwd->setChecked(configFlag(Cfg::login::RemberPassword));
}

void frmLogin::autoLogin()
{
    if (!configFlag(Cfg::login::AutoLogin))
        return;
    chkAutoLogin->setChecked(true);
    const UserRecord &saved = wskLogin->record();
    if (saved.userName.isEmpty() || saved.password.isEmpty()) {
        showError(u"帐号密码不能为空。"_s);
        return;
    }
    // The saved login is used as it is; the file stays as it was.
    lockControls();
    wskLogin->start(saved.userName, saved.password);
}

void frmLogin::showProgress(const QString &text)
{
    setStatus(u"状态："_s + text, Qt::black);
    if (!timLogin->isActive())
        timLogin->start();
}

void frmLogin::showError(const QString &text)
{
    timLogin->stop();
    setStatus(u"出错："_s + text, Qt::red);
}

void frmLogin::setStatus(const QString &text, const QColor &colour)
{
    QPalette palette = lblmsg->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblmsg->setPalette(palette);
    lblmsg->setText(text);
}

void frmLogin::lockControls()
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{txtUserName, txtPassword, chkRmbPwd, chkAutoLogin, cmdLogin, cmdGuest})
        control->setEnabled(false);
}

void frmLogin::unlockControls()
{
    timLogin->stop();
    for (QWidget *control :
         std::initializer_list<QWidget *>{txtUserName, txtPassword, chkRmbPwd, chkAutoLogin, cmdLogin, cmdGuest})
        control->setEnabled(true);
}

const UserRecord &frmLogin::userRecord() const
{
    return wskLogin->record();
}

bool frmLogin::isLoggedIn() const
{
    return wskLogin->isLoggedIn();
}

void frmLogin::cmdLogin_clicked()
{
    if (txtUserName->text().isEmpty()) {
        showError(u"用户名不能为空。"_s);
        txtUserName->setFocus();
        return;
    }
    if (txtPassword->text().isEmpty()) {
        showError(u"密码不能为空。"_s);
        txtPassword->setFocus();
        return;
    }
    lockControls();

    UserRecord saved = wskLogin->record();
    saved.userName = chkRmbPwd->isChecked() ? txtUserName->text() : QString();
    saved.password = chkRmbPwd->isChecked() ? txtPassword->text() : QString();
    // A saved login that cannot be written only means typing it again at the
    // next start; it must not hold up this login.
    writeUserFile(userFilePath(AppFolder::current()), saved);

    wskLogin->start(txtUserName->text(), txtPassword->text());
}

void frmLogin::cmdGuest_clicked()
{
    lockControls();
    Q_EMIT guestChosen();
}

void frmLogin::chkRmbPwd_clicked(bool checked)
{
    storeFlag(setConfigFlag(Cfg::login::RemberPassword, checked));
}

void frmLogin::chkAutoLogin_clicked(bool checked)
{
    storeFlag(setConfigFlag(Cfg::login::AutoLogin, checked));
}

void frmLogin::storeFlag(bool stored)
{
    if (!stored)
        showError(frmSetting::saveFailedMessage());
}

void frmLogin::lblReg_clicked()
{
    m_openUrl(QUrl(serverAddress(Cfg::Servers::Forum).url(u"/member.php?mod=register.php"_s)));
}

void frmLogin::timLogin_timeout()
{
    QString caption = lblmsg->text();
    if (caption.endsWith(u"..."_s))
        caption.chop(3);
    else
        caption += u'.';
    lblmsg->setText(caption);
}

void frmLogin::wskLogin_failed(const QString &text)
{
    unlockControls();
    showError(text);
}

} // namespace zorvane
