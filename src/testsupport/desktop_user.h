#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

struct xcb_connection_t;

namespace zorvane {

// A user at the X display named by DISPLAY, driving other programs' windows
// from outside as a person would: xdotool finds windows by their title and
// sends real key presses and clicks through the X server's test extension.
// No window manager is needed: a window is given the keyboard focus
// directly, and close() asks the program to close a window the way a window
// manager's close button does. Every call returns once xdotool has.
//
// It stays connected to the display while it lives: an X server whose last
// client leaves resets itself, and refuses a program that connects
// meanwhile.
class DesktopUser
{
public:
    DesktopUser();
    ~DesktopUser();
    DesktopUser(const DesktopUser &) = delete;
    DesktopUser &operator=(const DesktopUser &) = delete;

    // False without an X display or without xdotool.
    bool isValid() const;

    // The visible windows whose title matches `pattern` (an extended regular
    // expression), only those of process `pid` when it is not 0.
    QList<quint32> windows(const QString &pattern, qint64 pid = 0) const;
    qint64 windowPid(quint32 window) const; // 0 when unknown
    QSize windowSize(quint32 window) const; // invalid when unknown

    // Gives `window` the keyboard focus, then presses `key` (an X key name
    // such as "Return" or "space").
    bool press(quint32 window, const QString &key) const;
    // Raises `window` and clicks the left button at `at`, counted from the
    // window's upper left corner.
    bool click(quint32 window, QPoint at) const;
    // Asks the program to close `window` (WM_DELETE_WINDOW), as the close
    // button of a window manager does.
    bool close(quint32 window) const;

private:
    // xdotool's output, or nullopt when it failed or found nothing.
    std::optional<QByteArray> xdotool(const QStringList &arguments) const;

    xcb_connection_t *m_connection;
};

} // namespace zorvane
