// The word libraries as the application folder ships them: the first use of
// each (reading the file, decoding GBK, building its automaton or index),
// and the checks on a 50,000-character article made of the published sample
// articles, in process and as a whole zorvane-cli run. Synonyms are
// exchanged literally (Synonyms) and as whole words (WholeWords, with the
// word segmenter's dictionary, whose load BM_SegmenterLoad measures).
//
//   build/bench/bench_libraries --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
//
// --libraries=DIR takes error.dat, hexie.dat and same.dat from DIR instead
// of appdir/data/, to compare other libraries under the same conditions.
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "qt_benchmark.h"
#include "rewrite/synonyms.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString g_libraries = QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data");

constexpr qsizetype ArticleLength = 50000;

enum Library { Typos, Sensitive, Synonyms, WholeWords };

QString fileOf(Library library)
{
    static const QString names[] = {u"error.dat"_s, u"hexie.dat"_s, u"same.dat"_s, u"same.dat"_s};
    return g_libraries + u'/' + names[library];
}

const QString &libraryText(Library library)
{
    static const QString texts[] = {readTextFile(fileOf(Typos)), readTextFile(fileOf(Sensitive)),
                                    readTextFile(fileOf(Synonyms)), readTextFile(fileOf(WholeWords))};
    return texts[library];
}

// The published sample articles one after the other, repeated to the length.
const QString &article()
{
    static const QString text = [] {
        QString joined;
        for (const auto &[name, path] : expectedArticles())
            joined += readTextFile(path);
        QString out;
        while (!joined.isEmpty() && out.size() < ArticleLength)
            out += joined;
        return out.left(ArticleLength);
    }();
    return text;
}

bool ready(benchmark::State &state, Library library)
{
    if (libraryText(library).isEmpty()) {
        state.SkipWithError("library missing or empty");
        return false;
    }
    if (article().isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return false;
    }
    state.counters["library_lines"] = double(libraryText(library).count(u"\r\n"_s));
    state.counters["article_chars"] = double(article().size());
    return true;
}

// The library prepared for its routine, as the word libraries' owner
// prepares it at its first use.
struct Prepared
{
    Prepared(Library library, const QString &text)
        : typos(library == Typos ? text : QString())
        , sensitive(library == Sensitive ? text : QString())
        , synonyms(library == Synonyms || library == WholeWords ? text : QString())
    {}

    TypoIndex typos;
    SensitiveIndex sensitive;
    SynonymIndex synonyms;
};

const WordSegmenter &segmenter()
{
    static const auto loaded = WordSegmenter::load(WordSegmenter::systemDictionary());
    return *loaded;
}

int check(Library library, const QString &text, const Prepared &prepared)
{
    int count = 0;
    switch (library) {
    case Typos:
        markTypos(text, prepared.typos, TypoMark::Mark, count);
        break;
    case Sensitive:
        count = checkSensitiveWords(text, prepared.sensitive).count;
        break;
    case Synonyms:
        count = int(replaceSynonyms(text, prepared.synonyms) != text);
        break;
    case WholeWords:
        count = int(replaceSynonyms(text, prepared.synonyms, {true}, segmenter()) != text);
        break;
    }
    return count;
}

// The first check of a run: the file read and decoded, the library's index
// built, a one-sentence text checked.
void BM_FirstUse(benchmark::State &state)
{
    const Library library = Library(state.range(0));
    if (!ready(state, library))
        return;
    for (auto _ : state) {
        const Prepared prepared(library, readTextFile(fileOf(library)));
        benchmark::DoNotOptimize(check(library, u"<p>今天的新闻。</p>"_s, prepared));
    }
}
BENCHMARK(BM_FirstUse)->ArgName("library")->Arg(Typos)->Arg(Sensitive)->Arg(Synonyms)->Unit(benchmark::kMillisecond);

// A check on the article once the library is in use.
void BM_Check(benchmark::State &state)
{
    const Library library = Library(state.range(0));
    if (!ready(state, library))
        return;
    const Prepared prepared(library, libraryText(library));
    int found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = check(library, article(), prepared));
    state.counters["found"] = found;
}
BENCHMARK(BM_Check)
    ->ArgName("library")
    ->Arg(Typos)
    ->Arg(Sensitive)
    ->Arg(Synonyms)
    ->Arg(WholeWords)
    ->Unit(benchmark::kMillisecond);

// The word segmenter's dictionary read, once a run when whole words are on.
void BM_SegmenterLoad(benchmark::State &state)
{
    for (auto _ : state) {
        const auto loaded = WordSegmenter::load(WordSegmenter::systemDictionary());
        if (!loaded->isLoaded()) {
            state.SkipWithError("no word segmenter dictionary");
            return;
        }
    }
}
BENCHMARK(BM_SegmenterLoad)->Unit(benchmark::kMillisecond);

void BM_TyposReplace(benchmark::State &state)
{
    if (!ready(state, Typos))
        return;
    int count = 0;
    const TypoIndex library(libraryText(Typos));
    for (auto _ : state)
        benchmark::DoNotOptimize(markTypos(article(), library, TypoMark::Replace, count));
    state.counters["found"] = count;
}
BENCHMARK(BM_TyposReplace)->Unit(benchmark::kMillisecond);

// zorvane-cli typos / sensitive / synonyms on the article as a whole
// process: start, settings, the library read and indexed, the check, the
// output written.
void BM_CliProcess(benchmark::State &state)
{
    const Library library = Library(state.range(0));
    if (!ready(state, library))
        return;
    QTemporaryDir folder;
    const QString data = folder.filePath(u"data"_s);
    if (!QDir().mkpath(data) || !QDir().mkpath(folder.filePath(u"setting"_s))
        || !QFile::copy(fileOf(library), data + u'/' + QFileInfo(fileOf(library)).fileName())
        || !QFile::copy(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/setting/config.ini"),
                        folder.filePath(u"setting/config.ini"_s))) {
        state.SkipWithError("no application folder");
        return;
    }
    QFile input(folder.filePath(u"article.html"_s));
    if (!input.open(QIODevice::WriteOnly) || input.write(article().toUtf8()) < 0) {
        state.SkipWithError("article not written");
        return;
    }
    input.close();
    static const QStringList commands[] = {
        {u"typos"_s}, {u"sensitive"_s}, {u"synonyms"_s}, {u"synonyms"_s, u"--whole-words"_s}};
    const QStringList arguments =
        QStringList{u"--app-dir"_s, folder.path()} + commands[library] + QStringList{input.fileName()};
    for (auto _ : state) {
        QProcess cli;
        cli.start(QString::fromUtf8(ZORVANE_APP_DIR "/zorvane-cli"), arguments);
        if (!cli.waitForFinished(30000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0) {
            state.SkipWithError("zorvane-cli failed");
            return;
        }
        benchmark::DoNotOptimize(cli.readAllStandardOutput());
    }
}
BENCHMARK(BM_CliProcess)
    ->ArgName("library")
    ->Arg(Typos)
    ->Arg(Sensitive)
    ->Arg(Synonyms)
    ->Arg(WholeWords)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Our own option goes before Google Benchmark sees the arguments.
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--libraries=", 12) == 0)
            g_libraries = QString::fromLocal8Bit(argv[i] + 12);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return runBenchmarks<QCoreApplication>(argc, argv);
}
