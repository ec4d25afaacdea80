#pragma once

#include "checks/check_options.h"
#include "format/format_options.h"
#include "rewrite/synonyms.h"
#include "settings/app_folder.h"
#include "settings/config_snapshot.h"

namespace zorvane {

// What a command takes from the settings: read from the settings file once,
// at the command's start, and handed to the logic as values. The settings
// dialog's changes therefore apply from the next command.
//
// Each options struct has one reader below. A new option is a member of its
// struct and one line in its reader; a new group of options is a struct of
// its own, a member here and a reader.
struct SettingsSnapshot
{
    FormatOptions format;
    CheckOptions checks;
    SynonymOptions synonyms;
};

SettingsSnapshot readSettingsSnapshot(const AppFolder &folder = AppFolder::current());
SettingsSnapshot readSettingsSnapshot(const ConfigSnapshot &config);

FormatOptions readFormatOptions(const ConfigSnapshot &config);
CheckOptions readCheckOptions(const ConfigSnapshot &config);
SynonymOptions readSynonymOptions(const ConfigSnapshot &config);

} // namespace zorvane
