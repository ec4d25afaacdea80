#include "cli/commands.h"

using namespace Qt::StringLiterals;

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {u"config"_s, u"read and write the settings file"_s,
         u"config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE\n"
         "       zorvane-cli config list"_s,
         runConfig},
        {u"compress"_s, u"shrink and recompress a picture into NAME_new.EXT"_s, u"compress IMAGE"_s, runCompress},
        {u"typos"_s, u"mark (or with --replace correct) the typos of the typo library"_s,
         u"typos [--replace] [FILE]    (the count goes to standard error as count=N)"_s, runTypos},
        {u"punct"_s, u"half-width punctuation to full-width, or marked (Format/CheckWordsType=1)"_s, u"punct [FILE]"_s,
         runPunct},
        {u"sensitive"_s, u"mark the words of the sensitive-word library"_s,
         u"sensitive [FILE]    (the number of library lines found goes to standard error as count=N)"_s, runSensitive},
        {u"count"_s, u"count the characters of an HTML article: source and text"_s, u"count [FILE]"_s, runCount},
        {u"format"_s, u"format an article the way one-key format does"_s, u"format [--mode 0|1|2] [FILE]"_s, runFormat},
        {u"synonyms"_s, u"exchange words for synonyms from data/same.dat"_s, u"synonyms [FILE]"_s, runSynonyms},
        {u"shuffle"_s, u"shuffle paragraphs and sentences, then format (mode 0)"_s,
         u"shuffle --level 0|1|2|3 [--seed N] [FILE]"_s, runShuffle},
        {u"pseudo"_s, u"one-key pseudo-original: synonyms, shuffle, format (mode 2)"_s,
         u"pseudo [--synonyms] [--shuffle 0|1|2|3] [--seed N] [FILE]"_s, runPseudo},
    };
    return commands;
}
