#include "settings/config_snapshot.h"

#include "settings/cls_ini.h"
#include "text/text_utils.h"

#include <QFile>

namespace zorvane {

ConfigSnapshot ConfigSnapshot::read(const AppFolder &folder)
{
    QFile file(folder.settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ConfigSnapshot(file.readAll());
}

QString ConfigSnapshot::text(const ConfigKey &key) const
{
    return Cls_Ini::valueIn(m_file, key.sectionName(), key.keyName());
}

int ConfigSnapshot::integer(const ConfigKey &key) const
{
    return toInt(text(key));
}

bool ConfigSnapshot::flag(const ConfigKey &key) const
{
    return integer(key) == 1;
}

QString ConfigSnapshot::value(const ConfigKey &key) const
{
    return key.kind == ConfigKind::Text ? text(key) : QString::number(integer(key));
}

} // namespace zorvane
