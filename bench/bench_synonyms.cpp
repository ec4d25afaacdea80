// Synonym replacement: the indexed routine against the literal one (one
// library search per candidate), on a 20,000-line library of about 300 KB.
#include "rewrite/synonym_index.h"
#include "rewrite/synonyms.h"
#include "rewrite/tests/literal_synonyms.h"
#include "rewrite/tests/synonym_samples.h"
#include "text/gbk.h"

#include <benchmark/benchmark.h>

using namespace zorvane;

namespace {

struct Inputs
{
    QString library;
    QString html;    // 50,000 characters of a real page's HTML
    QString chinese; // 50,000 characters of running Chinese text
};

const Inputs &inputs()
{
    static const Inputs data = [] {
        Inputs in;
        const QString samples = sampleFolder();
        const QString chinese = sampleChineseText(samples);
        if (chinese.isEmpty())
            return in;
        in.library = makeSynonymLibrary(chinese, 20000, 1);
        in.html = sampleArticleHtml(samples, 50000);
        in.chinese = repeatToLength(chinese, 50000);
        return in;
    }();
    return data;
}

bool ready(benchmark::State &state)
{
    if (inputs().library.isEmpty()) {
        state.SkipWithError(sampleSkipMessage());
        return false;
    }
    state.counters["library_kb"] = double(toGbk(inputs().library).size()) / 1024.0;
    return true;
}

void BM_ReplaceHtml(benchmark::State &state)
{
    if (!ready(state))
        return;
    const SynonymIndex library(inputs().library); // built once per library load
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceSynonyms(inputs().html, library));
}

void BM_ReplaceChinese(benchmark::State &state)
{
    if (!ready(state))
        return;
    const SynonymIndex library(inputs().library);
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceSynonyms(inputs().chinese, library));
}

const WordSegmenter &segmenter()
{
    static const auto loaded = WordSegmenter::load(WordSegmenter::systemDictionary());
    return *loaded;
}

// Whole words: the text outside tags segmented, the words looked up.
void BM_WholeWordsHtml(benchmark::State &state)
{
    if (!ready(state))
        return;
    const SynonymIndex library(inputs().library);
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceSynonyms(inputs().html, library, {true}, segmenter()));
}

void BM_WholeWordsChinese(benchmark::State &state)
{
    if (!ready(state))
        return;
    const SynonymIndex library(inputs().library);
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceSynonyms(inputs().chinese, library, {true}, segmenter()));
}

void BM_BuildIndex(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(SynonymIndex(inputs().library));
}

void BM_LiteralHtml(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(literalReplaceSynonyms(inputs().html, inputs().library));
}

void BM_LiteralChinese(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(literalReplaceSynonyms(inputs().chinese, inputs().library));
}

} // namespace

BENCHMARK(BM_ReplaceHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceChinese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeWordsHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeWordsChinese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralHtml)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LiteralChinese)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
