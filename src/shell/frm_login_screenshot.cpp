// A picture of the login window as it opens with a saved login, for the
// README: zorvane-login-screenshot OUT.png. Renders offscreen; needs a CJK
// font installed.
#include "shell/frm_login.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorvane;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: zorvane-login-screenshot OUT.png\n", stderr);
        return 2;
    }
    frmLogin window;
    window.txtUserName->setText(u"张三"_s);
    window.txtPassword->setText(u"password"_s);
    window.chkRmbPwd->setChecked(true);
    window.show();
    return window.grab().save(args[1]) ? 0 : 1;
}
