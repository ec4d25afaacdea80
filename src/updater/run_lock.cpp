#include "updater/run_lock.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zorvane {

RunLock::~RunLock()
{
    unlock();
}

RunLock::Result RunLock::tryLock(const QString &folder)
{
    if (m_fd >= 0)
        return Result::Locked;
    // A lock of its own open file description: a second lock in the same
    // process is refused too, as another process's would be.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldElsewhere;
        m_error = QString::fromLocal8Bit(std::strerror(error));
        return Result::Unavailable;
    }
    m_fd = fd;
    return Result::Locked;
}

void RunLock::unlock()
{
    if (m_fd < 0)
        return;
    ::close(m_fd); // drops the lock
    m_fd = -1;
}

} // namespace zorvane
