// The receive buffer of the title search: a 1 MB result page (GBK) arriving
// in 1,460-byte pieces, one TCP segment each. After every piece the tag names
// are lower-cased and the buffer is searched for the end of the page: only the
// new part (TagNameLowercaser), or the whole buffer each time (the literal
// pass the tests keep as the oracle).
//
//   build/bench/bench_title_search --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "checks/title_search.h"
#include "result_pages.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <QStringDecoder>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

constexpr qsizetype pageBytes = 1024 * 1024;
constexpr qsizetype segment = 1460;

// The page as the socket hands it over: GBK bytes cut every 1,460 bytes, each
// piece decoded as it arrives (a character split between two pieces is kept
// whole, as the exchange does).
const QStringList &pieces()
{
    static const QStringList result = [] {
        QString page = ResultPages::realistic(1, pageBytes / 2);
        for (qsizetype length = pageBytes / 2; toGbk(page).size() < pageBytes; length += pageBytes / 16)
            page = ResultPages::realistic(1, length);
        const QByteArray bytes = toGbk(page);
        QStringDecoder decoder("GB18030");
        QStringList list;
        for (qsizetype at = 0; at < bytes.size(); at += segment)
            list.append(decoder.decode(bytes.mid(at, segment)));
        return list;
    }();
    return result;
}

const QString pageEnd = u"</html>"_s;

void BM_Incremental(benchmark::State &state)
{
    const QStringList &input = pieces();
    for (auto _ : state) {
        TagNameLowercaser buffer;
        bool complete = false;
        for (const QString &piece : input) {
            const qsizetype changedFrom = buffer.append(piece);
            complete = buffer.text().indexOf(pageEnd, qMax<qsizetype>(0, changedFrom - pageEnd.size() + 1)) >= 0;
        }
        if (!complete)
            state.SkipWithError("the end of the page was not found");
        benchmark::DoNotOptimize(buffer.text().size());
    }
    state.counters["pieces"] = double(input.size());
    state.counters["MB"] = double(toGbk(input.join(QString())).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Incremental)->Unit(benchmark::kMillisecond);

void BM_Literal(benchmark::State &state)
{
    const QStringList &input = pieces();
    for (auto _ : state) {
        QString buffer;
        bool complete = false;
        for (const QString &piece : input) {
            buffer = lowercaseTagNames(buffer + piece);
            complete = buffer.contains(pageEnd);
        }
        if (!complete)
            state.SkipWithError("the end of the page was not found");
        benchmark::DoNotOptimize(buffer.size());
    }
    state.counters["pieces"] = double(input.size());
}
// Seconds a run: one iteration per repetition is plenty.
BENCHMARK(BM_Literal)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
