// FormatHtml in mode 1 with every option on, over the sample pages: the
// pipeline alone, and as a command runs it, reading the settings file first.
// Figures to quote: the median time per page and its size.
#include "format/format_html.h"
#include "settings/app_folder.h"
#include "snapshot/settings_snapshot.h"
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

// An application folder holding the settings above.
const AppFolder *settingsFolder()
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        QDir(dir.path()).mkpath(u"setting"_s);
        QFile settings(dir.filePath(u"setting/config.ini"_s));
        return settings.open(QIODevice::WriteOnly) && settings.write(kSettings) > 0;
    }();
    static const AppFolder folder(dir.path());
    return ready ? &folder : nullptr;
}

const TypoIndex &typoLibrary()
{
    static const TypoIndex library(readTextFile(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/error.dat")));
    return library;
}

QString samplePage(benchmark::State &state, const QString &file)
{
    if (sampleArticlesFolder().isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return {};
    }
    const QString html = readTextFile(sampleArticlesFolder() + u'/' + file);
    if (html.isEmpty() || !settingsFolder())
        state.SkipWithError("sample page or settings missing");
    return html;
}

void setCounters(benchmark::State &state, const QString &html)
{
    const qsizetype bytes = html.toUtf8().size();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["KB"] = double(bytes) / 1024.0;
}

void formatPage(benchmark::State &state, const QString &file)
{
    const QString html = samplePage(state, file);
    if (html.isEmpty())
        return;
    const SettingsSnapshot settings = readSettingsSnapshot(*settingsFolder());
    for (auto _ : state)
        benchmark::DoNotOptimize(
            FormatHtml(html, FormatMode::OneKeyFormat, settings.format, settings.checks, typoLibrary()));
    setCounters(state, html);
}

// What one-key format costs a command: the settings file read once, then the
// pipeline.
void formatCommand(benchmark::State &state, const QString &file)
{
    const QString html = samplePage(state, file);
    if (html.isEmpty())
        return;
    for (auto _ : state) {
        const SettingsSnapshot settings = readSettingsSnapshot(*settingsFolder());
        benchmark::DoNotOptimize(
            FormatHtml(html, FormatMode::OneKeyFormat, settings.format, settings.checks, typoLibrary()));
    }
    setCounters(state, html);
}

} // namespace

BENCHMARK_CAPTURE(formatPage, gmw_source, u"gmw/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, gmw_expected, u"gmw/expected.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, qq_source, u"qq/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatPage, qq_expected, u"qq/expected.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatCommand, gmw_source, u"gmw/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatCommand, gmw_expected, u"gmw/expected.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatCommand, qq_source, u"qq/source.html"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(formatCommand, qq_expected, u"qq/expected.html"_s)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
