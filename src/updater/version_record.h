#pragma once

#include "updater/update_list.h"

#include <QString>

namespace zorvane {

// The installed version in section "vision" of the shared settings file:
// `update` holds the stamp the next update query sends, `vision` the name of
// the last package installed.
QString installedStamp();

// Records `last` as installed, after the last package of a run. False when
// the settings file could not be written.
bool recordInstalledVersion(const UpdatePackage &last);

} // namespace zorvane
