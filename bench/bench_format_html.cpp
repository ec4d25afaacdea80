// FormatHtml in mode 1 with every option on, over the sample pages.
// Figures to quote: the median time per page and its size.
#include "format/format_html.h"
#include "settings/app_folder.h"
#include "settings/word_library.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const char kSettings[] = "[Format]\r\nExtBr=1\r\nHeadSpace=1\r\nSpaceNum=2\r\nSpaceStr=1\r\nFull=1\r\nPoint=1\r\n"
                         "CheckWords=1\r\nCheckWordsType=0\r\nRemoveLink=1\r\nSaveWords=0\r\nExtSpace=1\r\n"
                         "AutoSign=1\r\nStart=1\r\nEnd=1\r\nSign=Zorvane\r\n";

void formatPage(benchmark::State &state, const QString &file)
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        QDir(dir.path()).mkpath(u"setting"_s);
        QDir(dir.path()).mkpath(u"data"_s);
        QFile settings(dir.filePath(u"setting/config.ini"_s));
        const bool written = settings.open(QIODevice::WriteOnly) && settings.write(kSettings) > 0;
        settings.close();
        QFile::copy(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/error.dat"), dir.filePath(u"data/error.dat"_s));
        AppFolder::setCurrent(AppFolder(dir.path()));
        return written;
    }();
    if (sampleArticlesFolder().isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return;
    }
    const QString html = readTextFile(sampleArticlesFolder() + u'/' + file);
    if (!ready || html.isEmpty()) {
        state.SkipWithError("sample page or settings missing");
        return;
    }
    typoLibrary().load();
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatHtml(html, FormatMode::OneKeyFormat));
    const qsizetype bytes = html.toUtf8().size();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["KB"] = double(bytes) / 1024.0;
}

} // namespace

BENCHMARK_CAPTURE(formatPage, gmw_source, u"gmw/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, gmw_expected, u"gmw/expected.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, qq_source, u"qq/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, qq_expected, u"qq/expected.html"_s)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
