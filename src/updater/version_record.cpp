#include "updater/version_record.h"

#include "settings/config_keys.h"

namespace zorvane {

QString installedStamp()
{
    return configText(Cfg::vision::update);
}

bool recordInstalledVersion(const UpdatePackage &installed)
{
    // The stamp first: it is what keeps the package from being installed
    // again, while the name is only shown.
    return setConfigText(Cfg::vision::update, installed.stamp) && setConfigText(Cfg::vision::vision, installed.name);
}

} // namespace zorvane
