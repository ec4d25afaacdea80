#pragma once

#include <QHash>

#include <optional>

namespace zorvane {

// Makes this process the reaper of everything its children start: a program
// started detached (its parent ends at once, as QProcess::startDetached
// does) becomes a child of this process instead of the system's, so that a
// test sees it end, reads its exit status, and ends what is left at its own
// end. Linux only (PR_SET_CHILD_SUBREAPER).
class ProcessReaper
{
public:
    ProcessReaper();
    ~ProcessReaper() { endAll(); }
    ProcessReaper(const ProcessReaper &) = delete;
    ProcessReaper &operator=(const ProcessReaper &) = delete;

    bool isValid() const { return m_valid; }

    // The exit status of `pid` once it has ended (-1 when a signal ended it),
    // nullopt while it runs or while it is not (yet) this process's child.
    // Never blocks. Only for processes no QProcess waits for.
    std::optional<int> exitStatus(qint64 pid);

    // Kills every child still there, adopted ones included, and collects
    // them, until none is left or ten seconds have passed. Call it once the
    // QProcess objects are gone: it would take their children too.
    void endAll();

private:
    bool m_valid = false;
    QHash<qint64, int> m_ended;
};

} // namespace zorvane
