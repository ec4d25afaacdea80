#pragma once

#include "net/user_record.h"

#include <QObject>

#include <optional>

class QLabel;

namespace zorvane {

class ClickableLabel;
class CommandContext;

// Who is working: the avatar and the user's name, group, points and coins at
// the top of the main window, and the links to the forum beside them (about,
// forum, registration). Everything it shows comes in through setUser().
class UserArea : public QObject
{
    Q_OBJECT

public:
    explicit UserArea(CommandContext &context);

    // The logged-in user as the forum gave it, or a guest when there is none.
    void setUser(const std::optional<UserRecord> &user);
    // A missing picture leaves the avatar empty.
    void showAvatar(const QString &path);

    ClickableLabel *imgFace = nullptr;
    QLabel *lblUsername = nullptr;
    QLabel *lblLevel = nullptr;
    QLabel *lblPoint = nullptr;
    QLabel *lblKestCoin = nullptr;
    ClickableLabel *lblAbout = nullptr;
    ClickableLabel *lblBbs = nullptr;
    ClickableLabel *lblReg = nullptr;

private Q_SLOTS:
    void imgFace_clicked();
    void lblAbout_clicked();
    void lblBbs_clicked();
    void lblReg_clicked();

private:
    void openForumPage(const QString &path);
};

} // namespace zorvane
