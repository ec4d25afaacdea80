#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
class QIcon;
class QMenu;

namespace zorvane {

// The program's icon in the notification area: a left click brings the
// program forward, and the menu's one item ends it.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(const QIcon &icon, const QString &tip, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop has a notification area at all. Xvfb and GNOME
    // without its extension have none, and an icon shown there would say
    // nothing: the program must then not hide its only window.
    static bool available();

    QSystemTrayIcon *icon() const { return m_icon; }

    // Named controls: the context menu and its item "退出程序".
    QMenu *Menu = nullptr;
    QAction *ExitApp = nullptr;

Q_SIGNALS:
    void clicked();
    void exitChosen();

private Q_SLOTS:
    void icon_activated(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon *m_icon;
    std::unique_ptr<QMenu> m_menu; // a menu is a window of its own
};

} // namespace zorvane
