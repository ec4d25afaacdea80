#pragma once

#include <QString>

namespace zorvane {

// The settings file "\setting\config.ini" of the current application folder,
// opened afresh for every single read or write. Note the argument order: key
// first, section last.
QString getConfig(const QString &key, const QString &section);
bool setConfig(const QString &key, const QString &value, const QString &section);

} // namespace zorvane
