#include "text/between.h"

namespace zorvane {

QString Between(const QString &text, const QString &start, const QString &end)
{
    const qsizetype startAt = text.indexOf(start);
    if (startAt < 0)
        return {};
    // An end marker that occurs only before the start gives nothing either,
    // so whether it occurs at all needs no search of its own.
    const qsizetype from = startAt + start.size();
    const qsizetype endAt = text.indexOf(end, from);
    if (endAt <= from)
        return {};
    return text.mid(from, endAt - from);
}

} // namespace zorvane
