#include "settings/config_keys.h"

#include "settings/config.h"
#include "text/text_utils.h"

using namespace Qt::StringLiterals;

namespace zorvane {

QString configText(const ConfigKey &key)
{
    return getConfig(key.keyName(), key.sectionName());
}

int configInt(const ConfigKey &key)
{
    return toInt(configText(key));
}

bool configFlag(const ConfigKey &key)
{
    return configInt(key) == 1;
}

QString configValue(const ConfigKey &key)
{
    return key.kind == ConfigKind::Text ? configText(key) : QString::number(configInt(key));
}

bool setConfigText(const ConfigKey &key, const QString &value)
{
    return setConfig(key.keyName(), value, key.sectionName());
}

bool setConfigInt(const ConfigKey &key, int value)
{
    return setConfigText(key, QString::number(value));
}

bool setConfigFlag(const ConfigKey &key, bool on)
{
    return setConfigText(key, on ? u"1"_s : u"0"_s);
}

} // namespace zorvane
