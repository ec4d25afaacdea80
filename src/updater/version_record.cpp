#include "updater/version_record.h"

#include "settings/config_keys.h"

namespace zorvane {

QString installedStamp()
{
    return configText(Cfg::vision::update);
}

bool recordInstalledVersion(const UpdatePackage &last)
{
    // The stamp last: a run cut short between the two writes asks for the
    // same packages again rather than skipping them.
    return setConfigText(Cfg::vision::vision, last.name) && setConfigText(Cfg::vision::update, last.stamp);
}

} // namespace zorvane
