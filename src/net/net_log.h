#pragma once

#include <QLoggingCategory>
#include <QString>

#include <optional>

namespace zorvane {

// What the network clients tell the log: replies refused for their size,
// addresses refused for where they lead. Warnings show unless turned off
// (QT_LOGGING_RULES="zorvane.net.warning=false").
Q_DECLARE_LOGGING_CATEGORY(lcNet)

// One line for a reply refused because it passed its bound: what arrived
// (at least `received` bytes), or what it announced, when that was more.
void logOversizedReply(const QString &from, qint64 received, std::optional<qint64> announced, qint64 bound);

} // namespace zorvane
