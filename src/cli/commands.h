#pragma once

#include "cli/cli_context.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

namespace zorvane {

// One subcommand of zorvane-cli. Each lives in its own cmd_<name>.cpp and is
// listed once in cliCommands(); main() parses its options (and --help) with
// a QCommandLineParser of its own before run() sees them.
struct CliCommand
{
    QString name;
    QString summary; // one line for the command list
    QString usage;   // "config get SECTION KEY | config set ...", shown on --help and usage errors
    QList<QCommandLineOption> options;
    // Options go anywhere, and "--" ends them, so that an argument may begin
    // with "-". A command whose arguments are values of any kind (config set's
    // "-7") takes its options first instead: from its first argument on,
    // everything is an argument.
    bool optionsFirst = false;
    int (*run)(CliContext &context) = nullptr;
    // Whether the command needs the editor page, given its parsed options.
    // Such a command runs with a QGuiApplication.
    bool (*needsPage)(const QCommandLineParser &parser) = nullptr;
};

const QList<CliCommand> &cliCommands();

// The commands, one per file.
int runConfig(CliContext &context);
int runCompress(CliContext &context);
int runImages(CliContext &context);
int runTypos(CliContext &context);
int runPunct(CliContext &context);
int runSensitive(CliContext &context);
int runSpace(CliContext &context);
int runLint(CliContext &context);
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
int runExtract(CliContext &context);

} // namespace zorvane
