#include "cli/commands.h"

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {QStringLiteral("config"), QStringLiteral("read and write the settings file"),
         QStringLiteral("config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE\n"
                        "       zorvane-cli config list"),
         runConfig},
        {QStringLiteral("compress"), QStringLiteral("shrink and recompress a picture into NAME_new.EXT"),
         QStringLiteral("compress IMAGE"), runCompress},
        {QStringLiteral("typos"), QStringLiteral("mark (or with --replace correct) the typos of the typo library"),
         QStringLiteral("typos [--replace] [FILE]    (the count goes to standard error as count=N)"), runTypos},
        {QStringLiteral("punct"),
         QStringLiteral("half-width punctuation to full-width, or marked (Format/CheckWordsType=1)"),
         QStringLiteral("punct [FILE]"), runPunct},
        {QStringLiteral("sensitive"), QStringLiteral("mark the words of the sensitive-word library"),
         QStringLiteral("sensitive [FILE]    (the number of library lines found goes to standard error as count=N)"),
         runSensitive},
        {QStringLiteral("count"), QStringLiteral("count the characters of an HTML article: source and text"),
         QStringLiteral("count [FILE]"), runCount},
        {QStringLiteral("format"), QStringLiteral("format an article the way one-key format does"),
         QStringLiteral("format [--mode 0|1|2] [FILE]"), runFormat},
        {QStringLiteral("synonyms"), QStringLiteral("exchange words for synonyms from data/same.dat"),
         QStringLiteral("synonyms [FILE]"), runSynonyms},
        {QStringLiteral("shuffle"), QStringLiteral("shuffle paragraphs and sentences, then format (mode 0)"),
         QStringLiteral("shuffle --level 0|1|2|3 [--seed N] [FILE]"), runShuffle},
        {QStringLiteral("pseudo"), QStringLiteral("one-key pseudo-original: synonyms, shuffle, format (mode 2)"),
         QStringLiteral("pseudo [--synonyms] [--shuffle 0|1|2|3] [--seed N] [FILE]"), runPseudo},
        {QStringLiteral("translate"), QStringLiteral("translate an article through the translation service"),
         QStringLiteral("translate [--to en|zh] [FILE]    (en: Chinese to English, the default; zh: back)"),
         runTranslate},
        {QStringLiteral("service"),
         QStringLiteral("ask the service server what a start asks; store newer word libraries"),
         QStringLiteral("service check    (prints update=, notice= lines, errorwords= and samewords=)"), runService},
        {QStringLiteral("login"), QStringLiteral("log in to the forum; prints the profile and the cookie string"),
         QStringLiteral("login [--save] USER PASSWORD    (--save keeps the login in data/user.dat)"), runLogin},
        {QStringLiteral("update"),
         QStringLiteral("install the pending updates from the service server, as Patchwell does"),
         QStringLiteral("update    (status texts go to standard error; exit 0 when installed or none is pending)"),
         runUpdate},
    };
    return commands;
}
