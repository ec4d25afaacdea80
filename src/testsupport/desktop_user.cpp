#include "testsupport/desktop_user.h"

#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// xdotool's waits for a focus or a move end on their own after some seconds.
constexpr int XdotoolLimit = 30000;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

DesktopUser::DesktopUser() : m_connection(xcb_connect(nullptr, nullptr))
{}

DesktopUser::~DesktopUser()
{
    xcb_disconnect(m_connection);
}

bool DesktopUser::isValid() const
{
    return !xcb_connection_has_error(m_connection) && !QStandardPaths::findExecutable(u"xdotool"_s).isEmpty();
}

std::optional<QByteArray> DesktopUser::xdotool(const QStringList &arguments) const
{
    QProcess tool;
    tool.start(u"xdotool"_s, arguments);
    if (!tool.waitForFinished(XdotoolLimit)) {
        tool.kill();
        tool.waitForFinished();
        return std::nullopt;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return tool.readAllStandardOutput();
}

QList<quint32> DesktopUser::windows(const QString &pattern, qint64 pid) const
{
    QStringList arguments{u"search"_s, u"--onlyvisible"_s};
    if (pid != 0)
        arguments << u"--pid"_s << QString::number(pid);
    arguments << u"--name"_s << pattern;
    QList<quint32> found;
    if (const std::optional<QByteArray> out = xdotool(arguments)) {
        for (const QByteArray &line : out->split('\n')) {
            if (const quint32 window = line.trimmed().toUInt())
                found << window;
        }
    }
    return found;
}

qint64 DesktopUser::windowPid(quint32 window) const
{
    const std::optional<QByteArray> out = xdotool({u"getwindowpid"_s, QString::number(window)});
    return out ? out->trimmed().toLongLong() : 0;
}

QSize DesktopUser::windowSize(quint32 window) const
{
    const std::optional<QByteArray> out = xdotool({u"getwindowgeometry"_s, u"--shell"_s, QString::number(window)});
    if (!out)
        return {};
    QSize size;
    for (const QByteArray &line : out->split('\n')) {
        if (line.startsWith("WIDTH="))
            size.setWidth(line.mid(6).toInt());
        else if (line.startsWith("HEIGHT="))
            size.setHeight(line.mid(7).toInt());
    }
    return size;
}

bool DesktopUser::press(quint32 window, const QString &key) const
{
    const QString id = QString::number(window);
    return xdotool({u"windowfocus"_s, u"--sync"_s, id, u"key"_s, u"--clearmodifiers"_s, key}).has_value();
}

bool DesktopUser::click(quint32 window, QPoint at) const
{
    // The server takes the move and the click in the order sent. (Waiting
    // for the move with --sync would wait in vain when the pointer is there
    // already.)
    const QString id = QString::number(window);
    return xdotool({u"windowraise"_s, id, u"mousemove"_s, u"--window"_s, id, QString::number(at.x()),
                    QString::number(at.y()), u"click"_s, u"1"_s})
        .has_value();
}

bool DesktopUser::close(quint32 window) const
{
    if (xcb_connection_has_error(m_connection))
        return false;
    const xcb_atom_t protocols = internAtom(m_connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = internAtom(m_connection, "WM_DELETE_WINDOW");
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = deleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_generic_error_t *error =
        xcb_request_check(m_connection, xcb_send_event_checked(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                               reinterpret_cast<const char *>(&event)));
    const bool sent = protocols != XCB_ATOM_NONE && deleteWindow != XCB_ATOM_NONE && !error;
    std::free(error);
    return sent;
}

} // namespace zorvane
