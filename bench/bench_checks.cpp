// The typo and sensitive-word checks on a long generated article: the fast
// scans, the plain step-by-step scans they replace (src/checks/tests), the
// sensitive-word check that sees through disguise, and lint's checks
// together.
//
//   build/bench/bench_checks --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "checks/lint.h"
#include "checks/loose_sensitive.h"
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "format/inner_text.h"
#include "literal_checks.h"
#include "snapshot/opencc_traditional.h"

#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Characters drawn with a Zipf-like frequency from 3000 CJK characters, so that
// common characters recur as they do in real Chinese text.
class Generator
{
public:
    explicit Generator(quint32 seed) : m_random(seed) {}

    QChar cjk()
    {
        const double u = m_random.generateDouble();
        const int rank = std::min(2999, int(std::exp(u * std::log(3000.0))) - 1);
        return QChar(char16_t(0x4E00 + rank * 7));
    }
    // Any of the 3000 characters alike: words made of them are rarer in text.
    QChar cjkUniform() { return QChar(char16_t(0x4E00 + m_random.bounded(3000) * 7)); }
    QString cjkWord(int minLength, int maxLength)
    {
        QString word;
        const int length = minLength + int(m_random.bounded(maxLength - minLength + 1));
        for (int i = 0; i < length; ++i)
            word += cjk();
        return word;
    }
    QString asciiWord()
    {
        QString word;
        const int length = 3 + int(m_random.bounded(4));
        for (int i = 0; i < length; ++i)
            word += QChar(char16_t(u'a' + m_random.bounded(26)));
        return word;
    }
    int bounded(int n) { return int(m_random.bounded(n)); }

private:
    QRandomGenerator m_random;
};

struct Inputs
{
    QString typoLibrary;          // 20,000 lines wrong|right
    QString sensitiveLibrary;     // 10,000 lines of common-character words: over a thousand occur
    QString rareSensitiveLibrary; // 10,000 lines of words that occur only where planted
    QString article;              // 50,000 characters of HTML
};

Inputs makeInputs()
{
    Generator gen(20261207);
    Inputs in;

    QStringList typoKeys;
    QStringList lines;
    for (int i = 0; i < 20000; ++i) {
        const QString wrong = gen.cjkWord(2, 4);
        QString right = wrong;
        right[gen.bounded(int(right.size()))] = gen.cjk();
        lines << wrong + u'|' + right;
        typoKeys << wrong;
    }
    in.typoLibrary = lines.join(u"\r\n"_s) + u"\r\n"_s;

    QStringList sensitiveWords;
    lines.clear();
    for (int i = 0; i < 10000; ++i) {
        const QString word = gen.bounded(20) == 0 ? gen.asciiWord() : gen.cjkWord(2, 4);
        lines << word;
        sensitiveWords << word;
    }
    in.sensitiveLibrary = lines.join(u"\r\n"_s) + u"\r\n"_s;

    QStringList rareWords;
    lines.clear();
    for (int i = 0; i < 10000; ++i) {
        QString word;
        if (gen.bounded(20) == 0) {
            word = gen.asciiWord();
        } else {
            const int length = 2 + gen.bounded(3);
            for (int k = 0; k < length; ++k)
                word += gen.cjkUniform();
        }
        lines << word;
        rareWords << word;
    }
    in.rareSensitiveLibrary = lines.join(u"\r\n"_s) + u"\r\n"_s;

    // Paragraphs of sentences, a few typos and sensitive words planted, some
    // inline markup and Latin words as pasted pages have.
    QString article;
    while (article.size() < 50000) {
        article += u"<p style=\"text-indent:2em\">"_s;
        const int sentences = 2 + gen.bounded(5);
        for (int s = 0; s < sentences; ++s) {
            const int clauses = 1 + gen.bounded(3);
            for (int c = 0; c < clauses; ++c) {
                article += gen.cjkWord(6, 18);
                const int roll = gen.bounded(100);
                if (roll < 8)
                    article += typoKeys.at(gen.bounded(int(typoKeys.size())));
                else if (roll < 10)
                    article += sensitiveWords.at(gen.bounded(int(sensitiveWords.size())));
                else if (roll < 11)
                    article += rareWords.at(gen.bounded(int(rareWords.size())));
                else if (roll < 15)
                    article += u"<strong>"_s + gen.cjkWord(2, 5) + u"</strong>"_s;
                else if (roll < 17)
                    article += u' ' + gen.asciiWord() + u' ';
                article += c + 1 < clauses ? u"，"_s : u"。"_s;
            }
        }
        article += u"</p>\r\n"_s;
    }
    in.article = article.left(50000);
    return in;
}

const Inputs &inputs()
{
    static const Inputs in = makeInputs();
    return in;
}

void setCounters(benchmark::State &state, int count)
{
    state.counters["found"] = count;
    state.counters["article_chars"] = double(inputs().article.size());
}

void BM_markTypos_fast(benchmark::State &state)
{
    const Inputs &in = inputs();
    const TypoMark mark = TypoMark(state.range(0));
    int count = 0;
    const TypoIndex library(in.typoLibrary); // built once per library load
    for (auto _ : state)
        benchmark::DoNotOptimize(markTypos(in.article, library, mark, count));
    setCounters(state, count);
    state.counters["library_chars"] = double(in.typoLibrary.size());
}
BENCHMARK(BM_markTypos_fast)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_markTypos_literal(benchmark::State &state)
{
    const Inputs &in = inputs();
    const TypoMark mark = TypoMark(state.range(0));
    int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(literal::markTypos(in.article, in.typoLibrary, mark, count));
    setCounters(state, count);
}
BENCHMARK(BM_markTypos_literal)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// The first check of a run (or after the library changed) builds the index.
void BM_markTypos_firstUse(benchmark::State &state)
{
    const Inputs &in = inputs();
    int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(markTypos(in.article, TypoIndex(in.typoLibrary), TypoMark::Mark, count));
}
BENCHMARK(BM_markTypos_firstUse)->Unit(benchmark::kMillisecond);

// Argument 0: the library whose words occur by the thousand; 1: the one
// whose words occur only where planted (the usual case).
const QString &sensitiveInput(benchmark::State &state)
{
    return state.range(0) == 0 ? inputs().sensitiveLibrary : inputs().rareSensitiveLibrary;
}

void BM_sensitiveWords_fast(benchmark::State &state)
{
    const Inputs &in = inputs();
    const SensitiveIndex library(sensitiveInput(state));
    SensitiveWordsResult result = checkSensitiveWords(in.article, library);
    for (auto _ : state) {
        result = checkSensitiveWords(in.article, library);
        benchmark::DoNotOptimize(result);
    }
    setCounters(state, result.count);
}
BENCHMARK(BM_sensitiveWords_fast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_sensitiveWords_literal(benchmark::State &state)
{
    const Inputs &in = inputs();
    const QString &library = sensitiveInput(state);
    literal::SensitiveResult result;
    for (auto _ : state) {
        result = literal::checkSensitiveWords(in.article, library);
        benchmark::DoNotOptimize(result);
    }
    setCounters(state, result.count);
}
BENCHMARK(BM_sensitiveWords_literal)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_sensitiveWords_firstUse(benchmark::State &state)
{
    const Inputs &in = inputs();
    for (auto _ : state)
        benchmark::DoNotOptimize(checkSensitiveWords(in.article, SensitiveIndex(in.sensitiveLibrary)));
}
BENCHMARK(BM_sensitiveWords_firstUse)->Unit(benchmark::kMillisecond);

const TraditionalChars &traditionalChars()
{
    static const TraditionalChars chars = loadTraditionalChars().chars.value_or(TraditionalChars());
    return chars;
}

// The check that sees through disguise, on the same article and libraries
// (its index built once, as the libraries' owner does).
void BM_sensitiveWords_loose(benchmark::State &state)
{
    const Inputs &in = inputs();
    const LooseSensitiveIndex index(sensitiveInput(state), QString(), traditionalChars());
    SensitiveWordsResult result;
    for (auto _ : state) {
        result = checkSensitiveWordsLoose(in.article, index);
        benchmark::DoNotOptimize(result);
    }
    setCounters(state, result.count);
}
BENCHMARK(BM_sensitiveWords_loose)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_sensitiveWords_looseIndex(benchmark::State &state)
{
    const Inputs &in = inputs();
    for (auto _ : state)
        benchmark::DoNotOptimize(LooseSensitiveIndex(in.sensitiveLibrary, QString(), traditionalChars()));
}
BENCHMARK(BM_sensitiveWords_looseIndex)->Unit(benchmark::kMillisecond);

// lint over 50,000 characters of visible text (the article's text, repeated):
// typos, sensitive words (argument 0 literal, 1 loose), punctuation and one
// blank between Chinese and Latin, the libraries prepared as their owner
// prepares them once a run.
void BM_lint(benchmark::State &state)
{
    const Inputs &in = inputs();
    const QString visible = htmlToInnerText(in.article);
    QString text;
    while (text.size() < 50000)
        text += visible;
    text.truncate(50000);
    const TypoIndex typos(in.typoLibrary);
    const SensitiveIndex sensitive(in.sensitiveLibrary);
    const LooseSensitiveIndex loose(in.sensitiveLibrary, QString(), traditionalChars());
    const LintOptions options{state.range(0) == 1, CjkSpacing::OneBlank};
    const LintLibraries libraries{typos, &sensitive, &loose};
    std::vector<LintFinding> findings;
    for (auto _ : state) {
        findings = lintText(text, libraries, options);
        benchmark::DoNotOptimize(findings);
    }
    state.counters["found"] = double(findings.size());
    state.counters["text_chars"] = double(text.size());
}
BENCHMARK(BM_lint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_traditionalChars_load(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loadTraditionalChars());
}
BENCHMARK(BM_traditionalChars_load)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
