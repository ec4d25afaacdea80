#pragma once

#include "net/update_list.h"

#include <QString>

namespace zorvane {

// The installed version in section "vision" of the shared settings file:
// `update` holds the stamp the next update query sends, `vision` the name of
// the last package installed.
QString installedStamp();

// Records `installed` as the installed version, as soon as its script ended
// well. False when the settings file could not be written.
bool recordInstalledVersion(const UpdatePackage &installed);

} // namespace zorvane
