#include "cli/commands.h"

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {QStringLiteral("config"), QStringLiteral("read and write the settings file"),
         QStringLiteral("config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE"), runConfig},
        {QStringLiteral("format"), QStringLiteral("format an article the way one-key format does"),
         QStringLiteral("format [--mode 0|1|2] [FILE]"), runFormat},
    };
    return commands;
}
