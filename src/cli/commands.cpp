#include "cli/commands.h"

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {QStringLiteral("config"), QStringLiteral("read and write the settings file"),
         QStringLiteral("config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE\n"
                        "       zorvane-cli config list"), runConfig},
         QStringLiteral("config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE"), runConfig},
        {QStringLiteral("compress"), QStringLiteral("shrink and recompress a picture into NAME_new.EXT"),
         QStringLiteral("compress IMAGE"), runCompress},
    };
    return commands;
}
