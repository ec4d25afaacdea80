#include "cli/commands.h"
#include "settings/config.h"
#include "settings/config_keys.h"
#include "settings/config_snapshot.h"

#include <span>

using namespace Qt::StringLiterals;

namespace zorvane {

int runConfig(CliContext &context)
{
    const QStringList &args = context.arguments();
    if (args.size() == 3 && args.at(0) == u"get") {
        context.printLine(getConfig(args.at(2), args.at(1)));
        return CliContext::Success;
    }
    if (args.size() == 4 && args.at(0) == u"set") {
        if (!setConfig(args.at(2), args.at(3), args.at(1)))
            return context.fail(u"cannot write the settings file"_s);
        return CliContext::Success;
    }
    if (args.size() == 1 && args.at(0) == u"list") {
        const ConfigSnapshot config = ConfigSnapshot::read();
        for (const auto &keys : {std::span<const ConfigKey>(Cfg::all), std::span<const ConfigKey>(Cfg::own)}) {
            for (const ConfigKey &key : keys)
                context.printLine(key.sectionName() + u'.' + key.keyName() + u'=' + config.value(key));
        }
        return CliContext::Success;
    }
    return context.usage(u"config get SECTION KEY | config set SECTION KEY VALUE | config list"_s);
}

} // namespace zorvane
