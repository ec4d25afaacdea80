#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace zorvane {

// One running Zorvane per user. The first copy holds a lock file in the
// user's runtime folder (the system drops the lock with its process, so a
// crash never blocks the next start) and listens on a local socket beside
// it that only the same user may reach. A later copy finds the lock taken,
// wakes the first through the socket and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Claim {
        First,          // this copy goes on; activated() reports later starts
        AlreadyRunning, // another copy holds the lock: wake it and end
        Unguarded,      // no lock could be taken (no runtime folder, no
                        // permission): this copy goes on alone
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // "KestMain9011-" and the user's id: two users never see each other.
    static QString instanceName();
    QString lockFile() const { return m_lockFile; }
    QString serverName() const { return m_serverName; }

    Claim claim();
    // For a copy that found another running: tells it to come forward. True
    // once the running copy confirmed; gives up after `within`.
    bool activateRunning(std::chrono::milliseconds within = std::chrono::seconds(1));
    // Closes the server and drops the lock (the shutdown does this).
    void release();

Q_SIGNALS:
    // Another copy was started and handed over.
    void activated();

private:
    void acceptConnections();
    void serve(QLocalSocket *socket);

    QString m_lockFile;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

} // namespace zorvane
