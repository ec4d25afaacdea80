// Keeping only the article of a whole pasted page: the extraction in the
// editor page, one-key format with it as the main window runs it, and
// zorvane-cli extract as a whole process (its page start-up included).
// Needs an X server and the sample pages:
//   xvfb-run -a build/bench/bench_article --benchmark_repetitions=10
#include "editor/editor_host.h"
#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "editor/windowless_editor.h"
#include "format/format_html.h"
#include "qt_benchmark.h"
#include "settings/app_folder.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"
#include "testsupport/recording_view.h"
#include "testsupport/sample_pages.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// The pages measured: a 478 KiB English news page and the two Chinese ones.
struct Page
{
    const char *folder;
    const char *name;
};
constexpr Page Pages[] = {{"readability", "nytimes-3"}, {"articles", "qq"}, {"articles", "gmw"}};

QString pagePath(int index)
{
    const QString samples = sampleFolder();
    if (samples.isEmpty())
        return {};
    const Page &page = Pages[index];
    return samples + u'/' + QString::fromUtf8(page.folder) + u'/' + QString::fromUtf8(page.name) + u"/source.html"_s;
}

QString pageText(int index)
{
    QFile file(pagePath(index));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The settings one-key format runs with: indentation and punctuation on.
struct Settings
{
    QTemporaryDir dir;
    Settings()
    {
        QFile ini(dir.filePath(u"setting/config.ini"_s));
        QDir().mkpath(dir.filePath(u"setting"_s));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Format]\r\nHeadSpace=1\r\nSpaceNum=2\r\nSpaceStr=1\r\nPoint=1\r\nArticleOnly=1\r\n");
        AppFolder::setCurrent(AppFolder(dir.path()));
    }
};

// The editor page as the main window shows it.
struct Editor
{
    Settings settings;
    QWebEngineView view;
    EditorPage *page = new EditorPage(&view);
    WebEditorHost host{page};
    RecordingView recording;
    EditorSession session{host, recording};
    WordLibraries libraries;

    Editor()
    {
        view.setPage(page);
        view.resize(1000, 700);
        view.show();
        installEditorScheme(page->profile(), QString::fromUtf8(ZORVANE_APP_DIR "/lib"));
        host.load(editorPageUrl());
        if (!host.isReady())
            waitFor(&host, &WebEditorHost::ready, 30000);
    }
};

std::unique_ptr<Editor> sharedEditor;

Editor *editor(benchmark::State &state, const QString &html)
{
    if (html.isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return nullptr;
    }
    if (!sharedEditor)
        sharedEditor = std::make_unique<Editor>();
    if (!sharedEditor->host.isReady()) {
        state.SkipWithError("editor page not ready");
        return nullptr;
    }
    return sharedEditor.get();
}

void label(benchmark::State &state, const QString &html)
{
    state.SetLabel(Pages[state.range(0)].name);
    state.counters["page_KiB"] = double(html.toUtf8().size()) / 1024;
}

void BM_ExtractInPage(benchmark::State &state)
{
    const QString html = pageText(int(state.range(0)));
    Editor *e = editor(state, html);
    if (!e)
        return;
    for (auto _ : state) {
        if (!keepArticle(e->host, html)) {
            state.SkipWithError("page did not answer");
            return;
        }
    }
    label(state, html);
}
BENCHMARK(BM_ExtractInPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// What Ctrl+G does with 只保留正文 ticked, from the pasted page in the
// editor to the formatted article back in it.
void BM_OneKeyFormatWithExtraction(benchmark::State &state)
{
    const QString html = pageText(int(state.range(0)));
    Editor *e = editor(state, html);
    if (!e)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        const bool pasted = setEditorHtml(e->host, html);
        state.ResumeTiming();
        std::optional<QString> article;
        const SettingsSnapshot settings = readSettingsSnapshot();
        if (!pasted || !e->session.keepArticleOnly() || !(article = e->session.getEditorHtml())
            || !e->session.setEditorHtml(
                FormatHtml(*article, FormatMode::OneKeyFormat, settings.format, settings.checks,
                           e->libraries.typosFor(FormatMode::OneKeyFormat, settings.format)))) {
            state.SkipWithError("page did not answer");
            return;
        }
    }
    label(state, html);
}
BENCHMARK(BM_OneKeyFormatWithExtraction)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliExtractProcess(benchmark::State &state)
{
    const QString path = pagePath(int(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return;
    }
    for (auto _ : state) {
        QProcess cli;
        cli.start(QString::fromUtf8(ZORVANE_APP_DIR "/zorvane-cli"), {u"extract"_s, path});
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
            state.SkipWithError("zorvane-cli extract failed");
            return;
        }
    }
    label(state, pageText(int(state.range(0))));
}
BENCHMARK(BM_CliExtractProcess)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    prepareForEditorPage();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    sharedEditor.reset();
    benchmark::Shutdown();
    return 0;
}
