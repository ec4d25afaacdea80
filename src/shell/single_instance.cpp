#include "shell/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace zorvane {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// What a new copy says, and what the running one answers once it acted.
constexpr QByteArrayView WakeUp = "KestMain9011 activate\n";
constexpr QByteArrayView Done = "ok\n";

// A peer that says nothing useful is dropped after this.
constexpr auto IdleLimit = 2s;

// Socket permissions already keep other users out; the peer's credentials
// are checked as well in case the folder is shared.
bool sameUser(const QLocalSocket &socket)
{
#if defined(Q_OS_LINUX)
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::getuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    return getpeereid(int(socket.socketDescriptor()), &uid, &gid) == 0 && uid == ::getuid();
#else
    Q_UNUSED(socket);
    return true; // the pipe's access list admits the user alone
#endif
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent)
{
    const QString name = instanceName();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!folder.isEmpty())
        m_lockFile = folder + u'/' + name + u".lock"_s;
#ifdef Q_OS_WIN
    m_serverName = name; // a pipe name, not a path
#else
    if (!folder.isEmpty())
        m_serverName = folder + u'/' + name;
#endif
}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::instanceName()
{
#ifdef Q_OS_UNIX
    return u"KestMain9011-"_s + QString::number(::getuid());
#else
    return u"KestMain9011-"_s + qEnvironmentVariable("USERNAME");
#endif
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_lockFile.isEmpty() || m_serverName.isEmpty())
        return Claim::Unguarded;
    m_lock = std::make_unique<QLockFile>(m_lockFile);
    // A lock is stale only when its process is gone, never because of its
    // age: the first copy holds it for the whole run.
    m_lock->setStaleLockTime(0ms);
    if (!m_lock->tryLock(0ms)) {
        const bool taken = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        return taken ? Claim::AlreadyRunning : Claim::Unguarded;
    }

    // Holding the lock, no live copy serves the socket: whatever is left
    // there belongs to a copy that crashed.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    // Without the server later starts cannot wake this copy, but the lock
    // still keeps them from running beside it.
    if (!m_server->listen(m_serverName))
        qWarning("single instance: cannot listen on %s: %s", qPrintable(m_serverName),
                 qPrintable(m_server->errorString()));
    return Claim::First;
}

bool SingleInstance::activateRunning(std::chrono::milliseconds within)
{
    if (m_serverName.isEmpty())
        return false;
    const QDeadlineTimer deadline(within);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (!socket.waitForConnected(int(deadline.remainingTime()))) {
            // The running copy may have taken the lock a moment ago and not
            // be listening yet.
            QThread::msleep(20);
            continue;
        }
        socket.write(WakeUp.data(), WakeUp.size());
        QByteArray answer;
        while (!answer.contains('\n') && socket.waitForReadyRead(int(deadline.remainingTime())))
            answer += socket.readAll();
        return answer == Done;
    }
    return false;
}

void SingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock) {
        m_lock->unlock();
        m_lock.reset();
    }
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!sameUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        serve(socket);
    }
}

void SingleInstance::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(IdleLimit, socket, &QLocalSocket::abort);
    auto said = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, said] {
        said->append(socket->readAll());
        if (!said->contains('\n') && said->size() < WakeUp.size())
            return;
        if (*said != WakeUp) {
            socket->abort();
            return;
        }
        socket->write(Done.data(), Done.size());
        socket->disconnectFromServer();
        // Queued: what the program does then may wait on the editor page in
        // a nested event loop, which would delete the socket under this very
        // handler.
        QMetaObject::invokeMethod(this, &SingleInstance::activated, Qt::QueuedConnection);
    });
}

} // namespace zorvane
