// zorvane-cli format over 1,000 articles (the sample pages repeated: the
// Chinese news pages and the reader-view corpus, from 4 KB to 1.6 MB) with
// one and with two workers, as a separate process, the way a script runs it.
// Figures to quote: the median wall time of each, and their ratio.
// Run: build/bench/bench_cli_files --benchmark_repetitions=5
#include "qt_benchmark.h"
#include "testsupport/sample_pages.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Articles = 1000;

// The settings an editor who uses every step would have.
const char kSettings[] = "[Format]\r\nExtBr=1\r\nHeadSpace=1\r\nSpaceNum=2\r\nSpaceStr=1\r\nFull=1\r\nPoint=1\r\n"
                         "CheckWords=1\r\nCheckWordsType=0\r\nRemoveLink=1\r\nSaveWords=0\r\nAutoSign=1\r\n"
                         "End=1\r\nSign=Zorvane\r\n";

struct Corpus
{
    QTemporaryDir dir;
    QStringList files;
    qint64 bytes = 0;
    bool ready = false;
};

const Corpus &corpus()
{
    static Corpus c;
    static const bool once = [] {
        const QString samples = zorvane::sampleFolder();
        if (samples.isEmpty() || !c.dir.isValid())
            return false;
        QStringList pages;
        for (const QString &kind : {u"articles"_s, u"readability"_s}) {
            QDirIterator it(samples + u'/' + kind, {u"source.html"_s, u"expected.html"_s}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString page = it.next();
                if (kind == u"articles" || page.endsWith(u"source.html"))
                    pages << page;
            }
        }
        pages.sort();
        if (pages.isEmpty())
            return false;
        const QDir root(c.dir.path());
        root.mkpath(u"app/setting"_s);
        root.mkpath(u"app/data"_s);
        root.mkpath(u"in"_s);
        QFile settings(root.filePath(u"app/setting/config.ini"_s));
        if (!settings.open(QIODevice::WriteOnly) || settings.write(kSettings) < 0)
            return false;
        settings.close();
        QFile::copy(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/error.dat"),
                    root.filePath(u"app/data/error.dat"_s));
        for (int i = 0; i < Articles; ++i) {
            const QString page = pages.at(i % pages.size());
            const QString file = root.filePath(u"in/%1.html"_s.arg(i, 4, 10, QChar(u'0')));
            if (!QFile::copy(page, file))
                return false;
            c.files << file;
            c.bytes += QFileInfo(file).size();
        }
        return true;
    }();
    c.ready = once;
    return c;
}

void BM_cliFormat(benchmark::State &state)
{
    const Corpus &c = corpus();
    if (!c.ready) {
        state.SkipWithError(zorvane::sampleSkipMessage());
        return;
    }
    const QString jobs = QString::number(state.range(0));
    const QString out = c.dir.filePath(u"out-"_s + jobs);
    const QStringList args =
        QStringList{u"--app-dir"_s, c.dir.filePath(u"app"_s), u"format"_s, u"-j"_s, jobs, u"--out"_s, out} + c.files;
    for (auto _ : state) {
        QProcess cli;
        cli.start(QString::fromUtf8(ZORVANE_CLI), args);
        if (!cli.waitForFinished(600000) || cli.exitCode() != 0) {
            state.SkipWithError("zorvane-cli failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * c.bytes);
    state.counters["files"] = Articles;
    state.counters["MB"] = double(c.bytes) / 1e6;
}
BENCHMARK(BM_cliFormat)->Arg(1)->Arg(2)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
