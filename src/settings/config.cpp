#include "settings/config.h"

#include "settings/app_folder.h"
#include "settings/cls_ini.h"

namespace zorvane {

QString getConfig(const QString &key, const QString &section)
{
    return Cls_Ini(AppFolder::current().settingsFile()).GetIniKey(section, key);
}

bool setConfig(const QString &key, const QString &value, const QString &section)
{
    return Cls_Ini(AppFolder::current().settingsFile()).WriteIniKey(section, key, value);
}

} // namespace zorvane
