#include "shell/user_area.h"

#include "net/servers.h"
#include "settings/app_folder.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/named_control.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

UserArea::UserArea(CommandContext &context) : QObject(&context)
{
    QWidget *top = context.areaWidget(CommandContext::Area::User);
    imgFace = named(new ClickableLabel(top), u"imgFace"_s);
    imgFace->setFixedSize(40, 40);
    imgFace->setScaledContents(true);
    imgFace->setCursor(Qt::PointingHandCursor);
    lblUsername = named(new QLabel(top), u"lblUsername"_s);
    lblLevel = named(new QLabel(top), u"lblLevel"_s);
    lblPoint = named(new QLabel(top), u"lblPoint"_s);
    lblKestCoin = named(new QLabel(top), u"lblKestCoin"_s);
    // The forum's own texts: never read as markup.
    for (QLabel *label : {lblUsername, lblLevel, lblPoint, lblKestCoin})
        label->setTextFormat(Qt::PlainText);
    auto *labels = new QGridLayout;
    labels->addWidget(lblUsername, 0, 0);
    labels->addWidget(lblLevel, 0, 1);
    labels->addWidget(lblPoint, 1, 0);
    labels->addWidget(lblKestCoin, 1, 1);
    QBoxLayout *user = context.area(CommandContext::Area::User);
    user->addWidget(imgFace);
    user->addLayout(labels);

    QWidget *linkRow = context.areaWidget(CommandContext::Area::Links);
    lblAbout = named(new ClickableLabel(u"关于"_s, linkRow), u"lblAbout"_s);
    lblBbs = named(new ClickableLabel(u"论坛"_s, linkRow), u"lblBbs"_s);
    lblReg = named(new ClickableLabel(u"注册"_s, linkRow), u"lblReg"_s);
    for (ClickableLabel *label : {lblAbout, lblBbs, lblReg}) {
        label->showAsLink();
        context.area(CommandContext::Area::Links)->addWidget(label);
    }

    connect(imgFace, &ClickableLabel::clicked, this, &UserArea::imgFace_clicked);
    connect(lblAbout, &ClickableLabel::clicked, this, &UserArea::lblAbout_clicked);
    connect(lblBbs, &ClickableLabel::clicked, this, &UserArea::lblBbs_clicked);
    connect(lblReg, &ClickableLabel::clicked, this, &UserArea::lblReg_clicked);
    setUser(std::nullopt);
}

void UserArea::setUser(const std::optional<UserRecord> &user)
{
    if (user) {
        lblUsername->setText(user->userName);
        lblLevel->setText(user->group);
        lblPoint->setText(user->points);
        lblKestCoin->setText(user->coins + u"枚"_s);
        // Where the login wrote it: a typed name never leads out of the folder.
        showAvatar(avatarFilePath(AppFolder::current(), user->userName));
        lblReg->hide();
        return;
    }
    lblUsername->setText(u"游客"_s);
    lblLevel->setText(u"未登录"_s);
    lblPoint->setText(u"0"_s);
    lblKestCoin->setText(u"0枚"_s);
    showAvatar(AppFolder::current().path(u"\\userface\\default.bmp"));
    lblReg->show();
}

void UserArea::showAvatar(const QString &path)
{
    imgFace->setPixmap(QPixmap(path));
}

void UserArea::openForumPage(const QString &path)
{
    const ServerAddress forum = serverAddress(Cfg::Servers::Forum);
    if (forum.host.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(forum.url(path)));
}

void UserArea::imgFace_clicked()
{
    openForumPage(u"/home.php"_s);
}

void UserArea::lblAbout_clicked()
{
    openForumPage(u"/thread-230841-1-1.html"_s);
}

void UserArea::lblBbs_clicked()
{
    openForumPage(u"/"_s);
}

void UserArea::lblReg_clicked()
{
    openForumPage(u"/member.php?mod=register.php"_s);
}

} // namespace zorvane
