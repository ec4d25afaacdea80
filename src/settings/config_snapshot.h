#pragma once

#include "settings/app_folder.h"
#include "settings/config_keys.h"

#include <QByteArray>
#include <QString>

namespace zorvane {

// The settings file as it stood when a command started: read once, then
// every key answered from that copy exactly as getConfig answers it from the
// file (trimmed, without enclosing quotes, cut to 1023 GBK bytes; a missing
// file, section or key reads as empty, a number as 0). A change made to the
// file afterwards shows in the next snapshot, that is, from the next command.
class ConfigSnapshot
{
public:
    // Every key missing.
    ConfigSnapshot() = default;

    // The settings file of the folder; an unreadable file reads as empty.
    static ConfigSnapshot read(const AppFolder &folder = AppFolder::current());
    static ConfigSnapshot fromBytes(QByteArray file) { return ConfigSnapshot(std::move(file)); }

    QString text(const ConfigKey &key) const;
    int integer(const ConfigKey &key) const; // toInt of the stored text
    bool flag(const ConfigKey &key) const;   // true only for a stored 1
    // Numbers and flags as the decimal text of integer(), text keys as stored.
    QString value(const ConfigKey &key) const;

private:
    explicit ConfigSnapshot(QByteArray file) : m_file(std::move(file)) {}

    QByteArray m_file;
};

} // namespace zorvane
