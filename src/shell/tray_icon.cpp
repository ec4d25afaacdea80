#include "shell/tray_icon.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace zorvane {

TrayIcon::TrayIcon(const QIcon &icon, const QString &tip, QObject *parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(icon, this))
    , m_menu(std::make_unique<QMenu>())
{
    m_icon->setToolTip(tip);
    Menu = m_menu.get();
    Menu->setObjectName(u"Menu"_s);
    ExitApp = Menu->addAction(u"退出程序"_s);
    ExitApp->setObjectName(u"ExitApp"_s);
    m_icon->setContextMenu(Menu);
    connect(ExitApp, &QAction::triggered, this, &TrayIcon::exitChosen);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::icon_activated);
}

TrayIcon::~TrayIcon()
{
    m_icon->hide();
}

bool TrayIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::icon_activated(QSystemTrayIcon::ActivationReason reason)
{
    // The right button opens the menu by itself.
    if (reason == QSystemTrayIcon::Trigger)
        Q_EMIT clicked();
}

} // namespace zorvane
