#pragma once

#include <QString>

namespace zorvane {

// One update run at a time in an application folder, whichever program runs
// it (Patchwell or zorvane-cli update). The lock is the system's advisory
// lock on the folder itself: it writes nothing, is not handed to the programs
// a run starts, and the system drops it when its process ends, however it
// ends, so a killed run never blocks the next.
class RunLock
{
public:
    enum class Result { Locked, HeldElsewhere, Unavailable };

    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    // Takes the lock of `folder`. Unavailable when the folder cannot be
    // opened; error() says why.
    Result tryLock(const QString &folder);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace zorvane
