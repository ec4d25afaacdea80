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
        {QStringLiteral("title"), QStringLiteral("look a title up in the news search: count and hits"),
         QStringLiteral("title [--fuzzy] TITLE    (prints count=N, then title, time and link of each hit)"),
         runTitle},
        {QStringLiteral("seo"), QStringLiteral("a site's search-engine statistics from ten sources"),
         QStringLiteral("seo SITE    (prints the eleven figures as lblName=value; exit 1 when a source failed)"),
         runSeo},
        {QStringLiteral("translate"), QStringLiteral("translate an article through the translation service"),
         QStringLiteral("translate [--to en|zh] [FILE]    (en: Chinese to English, the default; zh: back)"),
         runTranslate},
    };
    return commands;
}
