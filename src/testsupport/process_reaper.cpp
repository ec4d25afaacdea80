#include "testsupport/process_reaper.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QList>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The children of this process, zombies included, from /proc.
QList<pid_t> children()
{
    QList<pid_t> found;
    const pid_t self = ::getpid();
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const pid_t pid = pid_t(entry.toInt(&isPid));
        if (!isPid)
            continue;
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid …"; the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toInt() == self)
            found << pid;
    }
    return found;
}

} // namespace

ProcessReaper::ProcessReaper()
{
    m_valid = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
}

std::optional<int> ProcessReaper::exitStatus(qint64 pid)
{
    if (const auto ended = m_ended.constFind(pid); ended != m_ended.cend())
        return *ended;
    int status = 0;
    if (::waitpid(pid_t(pid), &status, WNOHANG) != pid_t(pid))
        return std::nullopt;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m_ended.insert(pid, code);
    return code;
}

void ProcessReaper::endAll()
{
    // A killed program's own children come to this process in turn.
    const QDeadlineTimer deadline(10000);
    for (QList<pid_t> left = children(); !left.isEmpty() && !deadline.hasExpired(); left = children()) {
        for (const pid_t pid : left) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
}

} // namespace zorvane
