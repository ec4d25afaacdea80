#include "cli/commands.h"

using namespace Qt::StringLiterals;

namespace zorvane {

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {u"config"_s, u"read and write the settings file"_s,
         u"config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE\n"
         "       zorvane-cli config list"_s,
         runConfig},
        {u"compress"_s, u"shrink and recompress a picture into NAME_new.EXT"_s, u"compress IMAGE"_s, runCompress},
        {u"images"_s, u"save an article's pictures into a folder, compressed, with list.txt"_s,
         u"images --out DIR [FILE]    (prints file, address and bytes of each picture; failures go to standard "
         "error; exit 1 when any failed)"_s,
         runImages},
        {u"typos"_s, u"mark (or with --replace correct) the typos of the typo library"_s,
         u"typos [--replace] [FILE]    (the count goes to standard error as count=N)"_s, runTypos},
        {u"punct"_s, u"half-width punctuation to full-width, or marked (Format/CheckWordsType=1)"_s, u"punct [FILE]"_s,
         runPunct},
        {u"sensitive"_s, u"mark the words of the sensitive-word library"_s,
         u"sensitive [FILE]    (the number of library lines found goes to standard error as count=N)"_s, runSensitive},
        {u"count"_s, u"count the characters of an HTML article: source and text"_s, u"count [FILE]"_s, runCount},
        {u"format"_s, u"format an article the way one-key format does"_s,
         u"format [--mode 0|1|2] [--article] [FILE]    (--article: keep only the article of a whole page first)"_s,
         runFormat, [](const QStringList &args) { return args.contains(u"--article"_s); }},
        {u"extract"_s, u"keep only the article of a whole web page: title, then body"_s, u"extract [FILE]"_s,
         runExtract, [](const QStringList &) { return true; }},
        {u"synonyms"_s, u"exchange words for synonyms from data/same.dat"_s, u"synonyms [FILE]"_s, runSynonyms},
        {u"shuffle"_s, u"shuffle paragraphs and sentences, then format (mode 0)"_s,
         u"shuffle --level 0|1|2|3 [--seed N] [FILE]"_s, runShuffle},
        {u"pseudo"_s, u"one-key pseudo-original: synonyms, shuffle, format (mode 2)"_s,
         u"pseudo [--synonyms] [--shuffle 0|1|2|3] [--seed N] [FILE]"_s, runPseudo},
        {u"title"_s, u"look a title up in the news search: count and hits"_s,
         u"title [--fuzzy] TITLE    (prints count=N, then title, time and link of each hit)"_s, runTitle},
        {u"seo"_s, u"a site's search-engine statistics from ten sources"_s,
         u"seo SITE    (prints the eleven figures as lblName=value; exit 1 when a source failed)"_s, runSeo},
        {u"translate"_s, u"translate an article through the translation service"_s,
         u"translate [--to en|zh] [FILE]    (en: Chinese to English, the default; zh: back)"_s, runTranslate},
        {u"service"_s, u"ask the service server what a start asks; store newer word libraries"_s,
         u"service check    (prints update=, notice= lines, errorwords= and samewords=)"_s, runService},
        {u"login"_s, u"log in to the forum; prints the profile and the cookie string"_s,
         u"login [--save] USER PASSWORD    (--save keeps the login in data/user.dat)"_s, runLogin},
        {u"update"_s, u"install the pending updates from the service server, as Patchwell does"_s,
         u"update    (status texts go to standard error; exit 0 when installed or none is pending)"_s, runUpdate},
    };
    return commands;
}

} // namespace zorvane
