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
    // Whether the command needs the editor page; given the command's
    // arguments. Such a command runs with a QGuiApplication.
    bool (*needsPage)(const QStringList &args) = nullptr;
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
int runExtract(CliContext &context);

// The article of html, kept by the editor page of the application folder
// in a page without a window, exactly as the main window's editor keeps it;
// nullopt after reporting when the page cannot be opened or does not answer.
std::optional<QString> articleOf(CliContext &context, const QString &html);

} // namespace zorvane
