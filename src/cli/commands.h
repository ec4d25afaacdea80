#pragma once

#include "cli/cli_context.h"

#include <QList>

namespace zorvane {

// One subcommand of zorvane-cli. Each lives in its own cmd_<name>.cpp.
struct CliCommand
{
    QString name;
    QString summary; // one line for the command list
    QString usage;   // "config get SECTION KEY | config set ...", shown on --help
    int (*run)(CliContext &context);
};

const QList<CliCommand> &cliCommands();

// The commands, one per file.
int runConfig(CliContext &context);
int runCompress(CliContext &context);
int runImages(CliContext &context);
int runTypos(CliContext &context);
int runPunct(CliContext &context);
int runSensitive(CliContext &context);
int runCount(CliContext &context);
int runFormat(CliContext &context);
int runSynonyms(CliContext &context);
int runShuffle(CliContext &context);
int runPseudo(CliContext &context);
int runTitle(CliContext &context);
int runSeo(CliContext &context);
int runTranslate(CliContext &context);
int runService(CliContext &context);
int runLogin(CliContext &context);
int runUpdate(CliContext &context);

} // namespace zorvane
