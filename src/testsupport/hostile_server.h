#pragma once

#include <QString>
#include <QThread>

#include <atomic>

namespace zorvane {

class HostileConnections;

// A server on 127.0.0.1 that answers every request as a broken or hostile
// one would. It runs on a thread of its own, so that it goes on sending while
// the client's thread is busy (or stuck), and it streams what it sends, so
// that a reply of 100 MB costs it no memory.
class HostileServer
{
public:
    enum class Behaviour {
        // 200 with Content-Length 104857600 and that many bytes of markup,
        // none of it a completion marker.
        HugeReply,
        // 200 with 100,000 "Set-Cookie" lines and the empty line, then nothing
        // more, the connection held open.
        ManyCookies,
        // A 200 header sent one byte a second, for ever.
        Drip,
        // What a captive portal answers to anything: 302 to its login page
        // with that page as the body, then it hangs up.
        CaptivePortal,
    };

    static constexpr qint64 HugeReplySize = 100 * 1024 * 1024;
    static constexpr int CookieLines = 100000;

    explicit HostileServer(Behaviour behaviour);
    ~HostileServer();
    HostileServer(const HostileServer &) = delete;
    HostileServer &operator=(const HostileServer &) = delete;

    quint16 port() const { return m_port; }
    // "127.0.0.1:PORT", as section "Servers" takes it.
    QString address() const;
    // Requests read so far, on every connection.
    int requestCount() const { return m_requests; }

private:
    QThread m_thread;
    HostileConnections *m_connections = nullptr;
    quint16 m_port = 0;
    std::atomic<int> m_requests{0};
};

} // namespace zorvane
