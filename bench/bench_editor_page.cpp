// The editor page in a real browser: what one article round trip (set, then
// get) costs. How long the program takes to show a working editor is
// bench_life's.
// Needs an X server: xvfb-run -a build/bench/bench_editor_page
#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/web_editor_host.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString sample(const QString &name)
{
    const QString articles = sampleArticlesFolder();
    return articles.isEmpty() ? QString() : readTextFile(articles + u'/' + name + u"/expected.html"_s);
}

struct Editor
{
    QWebEngineView view;
    EditorPage *page = new EditorPage(&view);
    WebEditorHost host{page};

    Editor()
    {
        view.setPage(page);
        view.resize(1000, 700);
        view.show();
        installEditorScheme(page->profile(), QString::fromUtf8(ZORVANE_APP_DIR "/lib"));
        QEventLoop loop;
        QObject::connect(&host, &WebEditorHost::ready, &loop, &QEventLoop::quit);
        QObject::connect(&host, &WebEditorHost::loadFailed, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        host.load(editorPageUrl());
        loop.exec();
    }
};

// Made on first use and gone before the application: a page that outlives
// its profile crashes the program at exit.
std::unique_ptr<Editor> sharedEditor;

Editor &editor()
{
    if (!sharedEditor)
        sharedEditor = std::make_unique<Editor>();
    return *sharedEditor;
}

// The article of a sample page repeated to about the given size; empty
// without the sample pages.
QString article(qsizetype bytes)
{
    const QString one = sample(u"gmw"_s);
    QString html;
    while (!one.isEmpty() && html.size() * 2 < bytes)
        html += one;
    return html;
}

void BM_SetGetRoundTrip(benchmark::State &state)
{
    Editor &e = editor();
    if (!e.host.isReady()) {
        state.SkipWithError("editor page not ready");
        return;
    }
    const QString html = article(state.range(0));
    if (html.isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return;
    }
    for (auto _ : state) {
        if (!setEditorHtml(e.host, html) || !getEditorHtml(e.host)) {
            state.SkipWithError("page did not answer");
            return;
        }
    }
    state.counters["article_bytes_utf16"] = double(html.size() * 2);
}
BENCHMARK(BM_SetGetRoundTrip)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

void BM_GetOnly(benchmark::State &state)
{
    Editor &e = editor();
    const QString html = article(state.range(0));
    if (html.isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return;
    }
    if (!e.host.isReady() || !setEditorHtml(e.host, html)) {
        state.SkipWithError("editor page not ready");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(getEditorHtml(e.host));
}
BENCHMARK(BM_GetOnly)->Arg(20'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    registerEditorScheme();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    sharedEditor.reset();
    benchmark::Shutdown();
    return 0;
}
