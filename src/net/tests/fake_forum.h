#pragma once

// The forum and its avatar server on one FakeHttpServer, scripted with the
// pages of a login that goes through: the login form, the accepted password,
// the login page with the login cookie, the portal page with the profile
// block, and a picture. Tests change one page or one step from there.

#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace FakeForumPages {

inline QString loginPath()
{
    return u"/member.php?mod=logging&action=login"_s;
}
inline QString submitPath()
{
    return u"/member.php?mod=logging&action=login&loginsubmit=yes&inajax=1"_s;
}
inline QString portalPath()
{
    return u"/portal.php"_s;
}
inline QString signInPath()
{
    return u"/plugin.php?id=dsu_paulsign:sign"_s;
}
inline QString avatarPath()
{
    return u"/avatar.php?uid=123&size=small"_s;
}

inline QByteArray formPage()
{
    return "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; path=/\r\nContent-Type: text/html\r\n\r\n"
           "<html><body><form method=\"post\" id=\"loginform_LxY\" action=\"member.php\">"
           "<input type=\"hidden\" name=\"formhash\" value=\"9f3a1c\" />"
           "<input name=\"username\" /></form></body></html>";
}

inline QByteArray submitReply(const QString &script)
{
    return "HTTP/1.1 200 OK\r\nSet-Cookie: auth=tok1; path=/; httponly\r\nContent-Type: text/xml\r\n\r\n"
           "<?xml version=\"1.0\" encoding=\"gbk\"?><root><![CDATA["
           + FakeHttpServer::gbk(script) + "<script type=\"text/javascript\">reload()</script>]]></root>";
}

inline QByteArray submitAccepted()
{
    return submitReply(u"欢迎您回来"_s);
}

// The headers of the login page; the body never gets read.
inline QByteArray loginPage(bool redirect)
{
    return QByteArray("HTTP/1.1 ") + (redirect ? "302 Found" : "200 OK") + "\r\nSet-Cookie: lastvisit=1700; path=/\r\n"
           + (redirect ? "Location: plugin.php\r\n" : "") + "Content-Type: text/html\r\n\r\n<html><body>";
}

inline QByteArray profilePage()
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n"
           + FakeHttpServer::gbk(
               u"<html><body><div id=\"um\"><p><strong><a href=\"space-uid-123.html\">张三</a></strong></p></div>"
               "<p>用户组: <b>中级会员</b></p><p>积分: <a href=\"home.php\">256</a></p>"
               "<p>Kest币: <span>18</span> 枚</p></body></html>"_s);
}

inline QByteArray avatarPicture()
{
    return QByteArray("BM") + QByteArray(60, '\x7f');
}

} // namespace FakeForumPages

class FakeForum : public QObject
{
public:
    FakeForum()
    {
        using namespace FakeForumPages;
        server.on(loginPath()).reply(formPage());
        server.on(submitPath()).reply(submitAccepted());
        server.on(portalPath()).reply(profilePage());
        server.on(signInPath()).reply(profilePage());
        server.on(avatarPath()).respond(200, avatarPicture(), "image/bmp");
        // The login page is asked for twice: the form first, then with the
        // login cookie.
        thenOn(loginPath()).reply(loginPage(false));
        QObject::connect(&server, &FakeHttpServer::requestReceived, this, [this](const FakeRequest &request) {
            ++m_seen;
            if (const auto queued = m_next.find(request.path); queued != m_next.end() && !queued->isEmpty())
                server.on(request.path) = queued->takeFirst();
            if (const auto action = m_before.find(m_seen + 1); action != m_before.end())
                (*action)();
        });
    }

    // Points the settings' forum and avatar servers here.
    bool serve() const { return server.serve(Cfg::Servers::Forum) && server.serve(Cfg::Servers::Avatar); }

    // The route for the next request of a path after the current one.
    FakeRoute &thenOn(const QString &path) { return m_next[path].emplaceBack(); }
    void clearQueued() { m_next.clear(); }

    // Runs action just before the n-th request (1: the first) would go out,
    // that is once the one before it has arrived.
    void beforeRequest(int n, std::function<void()> action)
    {
        if (n <= 1)
            action();
        else
            m_before.insert(n, std::move(action));
    }

    FakeHttpServer server;

private:
    QHash<QString, QList<FakeRoute>> m_next;
    QHash<int, std::function<void()>> m_before;
    int m_seen = 0;
};

} // namespace zorvane
