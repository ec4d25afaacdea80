#include "cli/commands.h"

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {QStringLiteral("config"), QStringLiteral("read and write the settings file"),
         QStringLiteral("config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE"), runConfig},
        {QStringLiteral("format"), QStringLiteral("format an article the way one-key format does"),
         QStringLiteral("format [--mode 0|1|2] [FILE]"), runFormat},
        {QStringLiteral("synonyms"), QStringLiteral("exchange words for synonyms from data/same.dat"),
         QStringLiteral("synonyms [FILE]"), runSynonyms},
        {QStringLiteral("shuffle"), QStringLiteral("shuffle paragraphs and sentences, then format (mode 0)"),
         QStringLiteral("shuffle --level 0|1|2|3 [--seed N] [FILE]"), runShuffle},
        {QStringLiteral("pseudo"), QStringLiteral("one-key pseudo-original: synonyms, shuffle, format (mode 2)"),
         QStringLiteral("pseudo [--synonyms] [--shuffle 0|1|2|3] [--seed N] [FILE]"), runPseudo},
    };
    return commands;
}
