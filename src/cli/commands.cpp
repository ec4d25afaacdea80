#include "cli/commands.h"

#include "cli/article_files.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// A command over articles: FILE or standard input to standard output, or
// several FILEs into --out DIR.
QString articleUsage(const QString &command, const QString &options)
{
    const QString head = options.isEmpty() ? command : command + u' ' + options;
    return head + u" [FILE]\n       zorvane-cli "_s + head + u" [-j N] --out DIR FILE..."_s;
}

QList<QCommandLineOption> withArticleOptions(QList<QCommandLineOption> options)
{
    return options + articleFileOptions();
}

QCommandLineOption seedOption()
{
    return {u"seed"_s, u"the random generator's seed: the same article and seed give the same result"_s, u"N"_s};
}

QCommandLineOption wholeWordsOption()
{
    return {u"whole-words"_s, u"exchange a synonym only where it stands as a word of the text, outside tags"_s};
}

} // namespace

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands = {
        {u"config"_s,
         u"read and write the settings file"_s,
         u"config get SECTION KEY\n       zorvane-cli config set SECTION KEY VALUE\n"
         "       zorvane-cli config list"_s,
         {},
         true,
         runConfig},
        {u"compress"_s,
         u"shrink and recompress a picture into NAME_new.EXT"_s,
         u"compress IMAGE"_s,
         {},
         false,
         runCompress},
        {u"images"_s,
         u"save an article's pictures into a folder, compressed, with list.txt"_s,
         u"images --out DIR [FILE]    (prints file, address and bytes of each picture; failures go to standard "
         "error; exit 1 when any failed)"_s,
         {{u"out"_s, u"the folder the pictures and list.txt go to"_s, u"DIR"_s}},
         false,
         runImages},
        {u"typos"_s, u"mark (or with --replace correct) the typos of the typo library"_s,
         articleUsage(u"typos"_s, u"[--replace]"_s) + u"\n(the count goes to standard error as count=N)"_s,
         withArticleOptions({{u"replace"_s, u"correct the typos instead of marking them"_s}}), false, runTypos},
        {u"punct"_s, u"half-width punctuation to full-width, or marked (Format/CheckWordsType=1)"_s,
         articleUsage(u"punct"_s, {}), withArticleOptions({}), false, runPunct},
        {u"sensitive"_s, u"mark the words of the sensitive-word library"_s,
         articleUsage(u"sensitive"_s, u"[--loose]"_s)
             + u"\n(the number of library lines found, or with the loose check of marked spans, goes to standard "
               "error as count=N)"_s,
         withArticleOptions({{u"loose"_s, u"see through disguise for this run, as Format/SensitiveLoose=1 does"_s}}),
         false, runSensitive},
        {u"space"_s, u"one blank between Chinese and Latin letters or digits, or none with --remove"_s,
         articleUsage(u"space"_s, u"[--remove]"_s)
             + u"\n(the number of places changed goes to standard error as count=N)"_s,
         withArticleOptions({{u"remove"_s, u"remove the blanks instead"_s}}), false, runSpace},
        {u"lint"_s,
         u"report typos, sensitive words, punctuation and spacing without changing the article"_s,
         u"lint [--json] [FILE]    (FILE:LINE:COLUMN: RULE: TEXT -> SUGGESTION a line, or a JSON object a line; "
         "exit 0 nothing found, 1 findings, 2 usage error or nothing could be checked)"_s,
         {{u"json"_s, u"one JSON object a finding: rule, line, column, offset, length, text, suggestion"_s}},
         false,
         runLint},
        {u"count"_s,
         u"count the characters of an HTML article: source and text"_s,
         u"count [FILE]"_s,
         {},
         false,
         runCount},
        {u"format"_s, u"format an article the way one-key format does"_s,
         articleUsage(u"format"_s, u"[--mode 0|1|2] [--article]"_s)
             + u"\n(--article: keep only the article of a whole page first)"_s,
         withArticleOptions({{u"mode"_s,
                              u"0 as the structure shuffle ends, 1 one-key format (the default), "
                              "2 one-key pseudo-original"_s,
                              u"0|1|2"_s},
                             {u"article"_s, u"keep only the article of a whole web page first (the editor page)"_s}}),
         false, runFormat, [](const QCommandLineParser &parser) { return parser.isSet(u"article"_s); }},
        {u"extract"_s,
         u"keep only the article of a whole web page: title, then body"_s,
         u"extract [FILE]"_s,
         {},
         false,
         runExtract,
         [](const QCommandLineParser &) { return true; }},
        {u"synonyms"_s, u"exchange words for synonyms from data/same.dat"_s,
         articleUsage(u"synonyms"_s, u"[--whole-words]"_s), withArticleOptions({wholeWordsOption()}), false,
         runSynonyms},
        {u"shuffle"_s, u"shuffle paragraphs and sentences, then format (mode 0)"_s,
         articleUsage(u"shuffle"_s, u"--level 0|1|2|3 [--seed N]"_s),
         withArticleOptions({{u"level"_s, u"the strength: 0 to 3 for 20% to 80%"_s, u"0|1|2|3"_s}, seedOption()}),
         false, runShuffle},
        {u"pseudo"_s, u"one-key pseudo-original: synonyms, shuffle, format (mode 2)"_s,
         articleUsage(u"pseudo"_s, u"[--synonyms [--whole-words]] [--shuffle 0|1|2|3] [--seed N]"_s),
         withArticleOptions({{u"synonyms"_s, u"exchange synonyms first"_s},
                             wholeWordsOption(),
                             {u"shuffle"_s, u"shuffle at this strength: 0 to 3 for 20% to 80%"_s, u"0|1|2|3"_s},
                             seedOption()}),
         false, runPseudo},
        {u"title"_s,
         u"look a title up in the news search: count and hits"_s,
         u"title [--fuzzy] TITLE    (prints count=N, then title, time and link of each hit)"_s,
         {{u"fuzzy"_s, u"search the full text, not only titles"_s}},
         false,
         runTitle},
        {u"seo"_s,
         u"a site's search-engine statistics from ten sources"_s,
         u"seo SITE    (prints the eleven figures as lblName=value; exit 1 when a source failed)"_s,
         {},
         false,
         runSeo},
        {u"translate"_s,
         u"translate an article through the translation service"_s,
         u"translate [--to en|zh] [FILE]    (en: Chinese to English, the default; zh: back)"_s,
         {{u"to"_s, u"the language to translate into"_s, u"en|zh"_s}},
         false,
         runTranslate},
        {u"service"_s,
         u"ask the service server what a start asks; store newer word libraries"_s,
         u"service check    (prints update=, notice= lines, errorwords= and samewords=)"_s,
         {},
         false,
         runService},
        {u"login"_s,
         u"log in to the forum; prints the profile and the cookie string"_s,
         u"login [--save] USER PASSWORD    (--save keeps the login in data/user.dat)"_s,
         {{u"save"_s, u"keep the login in data/user.dat"_s}},
         false,
         runLogin},
        {u"update"_s,
         u"install the pending updates from the service server, as Patchwell does"_s,
         u"update    (status texts go to standard error; exit 0 when installed or none is pending)"_s,
         {},
         false,
         runUpdate},
    };
    return commands;
}

} // namespace zorvane
