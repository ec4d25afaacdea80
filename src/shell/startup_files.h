#pragma once

#include "settings/app_folder.h"

#include <QString>

#include <optional>

namespace zorvane {

// The files a start cannot go without, in the order they are looked for: the
// saved login, the three word libraries, the settings, the editor page and
// the updater. The first one missing (as a path of the folder), or nullopt.
std::optional<QString> missingRequiredFile(const AppFolder &folder);

// Creates "\img" and "\update" when they do not exist yet. False when one of
// them could not be created.
bool createWorkFolders(const AppFolder &folder);

} // namespace zorvane
