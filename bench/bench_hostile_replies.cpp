// Every reader of a server's reply, fed the worst reply it can get at its
// bound: 32 MiB for the socket exchanges (forum login, title search, site
// statistics, translation), 1 MiB for the service server's texts, 16 MiB for
// a word library. Each reply arrives as the exchange would take it, in
// 64 KiB chunks through the receive buffer, and is then read whole. Each
// must take less than a second and 300 MB.
//
// One benchmark per process gives its peak memory too:
//   scripts/bench-hostile            (builds, then runs each under /usr/bin/time)
//   build/bench/bench_hostile_replies --benchmark_filter=Title --benchmark_repetitions=5

#include "checks/site_statistics.h"
#include "checks/title_search.h"
#include "net/advertisement.h"
#include "net/forum_login.h"
#include "net/http_exchange.h"
#include "net/reply_buffer.h"
#include "net/service_checks.h"
#include "rewrite/translation.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

constexpr qsizetype ExchangeBound = HttpExchange::defaultMaxReplySize;
constexpr qsizetype Chunk = 64 * 1024;

// head + unit repeated + tail, exactly `size` bytes.
QByteArray reply(const QByteArray &head, const QByteArray &unit, const QByteArray &tail, qsizetype size)
{
    QByteArray bytes = head;
    bytes.reserve(size);
    while (bytes.size() + unit.size() + tail.size() <= size)
        bytes += unit;
    bytes += QByteArray(size - bytes.size() - tail.size(), ' ');
    return bytes + tail;
}

// The reply through the receive buffer as the exchange feeds it; what the
// reader gets once the marker is in.
HttpReply receive(const QByteArray &bytes, CompletionMarker completion, ReplyBuffer::Keep keep)
{
    ReplyBuffer buffer(std::move(completion), keep, ExchangeBound);
    for (qsizetype at = 0; at < bytes.size(); at += Chunk) {
        const ReplyBuffer::Progress progress =
            buffer.append(QByteArrayView(bytes).sliced(at, qMin(Chunk, bytes.size() - at)));
        if (progress == ReplyBuffer::Progress::TooLarge)
            return {};
        if (progress == ReplyBuffer::Progress::Complete)
            break;
    }
    return buffer.take();
}

template <typename Read>
void run(benchmark::State &state, const QByteArray &bytes, Read read)
{
    for (auto _ : state)
        read(bytes);
    state.counters["MiB"] = double(bytes.size()) / (1024.0 * 1024.0);
}

// The forum's reply as reported: one header line of "Set-Cookie:a" over
// and over, then a profile block of links that never end, and every step's
// markers at the very end. Each step reads its own reply: Arg is the step,
// 0 "getform" to 3 "sucess".
void BM_ForumLogin_Step(benchmark::State &state)
{
    const QByteArray header = reply("HTTP/1.1 200 OK\r\n", "Set-Cookie:a", "\r\n\r\n", ExchangeBound / 2);
    const QByteArray bytes = reply(header + "<div id=\"um\">", "uid-1 ", "</div></script></html>", ExchangeBound);
    const int step = int(state.range(0));
    run(state, bytes, [step](const QByteArray &page) {
        const QString marker = step == 1 ? u"</script>"_s : step == 2 ? u"\r\n\r\n"_s : u"</html>"_s;
        const HttpReply got = receive(page, CompletionMarker::inLowercaseText(marker), ReplyBuffer::Keep::Text);
        using namespace LoginSteps;
        switch (step) {
        case 0:
            benchmark::DoNotOptimize(readFormPage(got.text).cookies);
            break;
        case 1:
            benchmark::DoNotOptimize(readSubmitReply(got.text, u"a=1;"_s).cookies);
            break;
        case 2:
            benchmark::DoNotOptimize(readLoginPage(got.text, u" a=1;"_s).cookies);
            break;
        default:
            benchmark::DoNotOptimize(readProfile(got.text, u" a=1;"_s).uid);
        }
    });
}
BENCHMARK(BM_ForumLogin_Step)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Result cells each holding the next, upper-case tags to lower, and the
// page's end at the very end: the buffer, then the fuzzy search's cutting.
void BM_TitleSearch_CellsInsideCells(benchmark::State &state)
{
    const QByteArray bytes = reply(toGbk(u"HTTP/1.1 200 OK\r\n\r\n<HTML>相关新闻1篇"_s),
                                   "<TD class=\"text\"><A href=x>", "</td></HTML>", ExchangeBound);
    run(state, bytes, [](const QByteArray &page) {
        TagNameLowercaser lowered;
        const HttpReply got =
            receive(page, CompletionMarker::when([&](QByteArrayView, QStringView text) {
                        const qsizetype from = lowered.append(text);
                        return lowered.text().indexOf(u"</html>"_s, qMax<qsizetype>(0, from - 6)) >= 0;
                    }),
                    ReplyBuffer::Keep::Nothing);
        benchmark::DoNotOptimize(got.status);
        benchmark::DoNotOptimize(parseTitlePage(lowered.text(), TitleSearchMode::Fuzzy).hits.size());
    });
}
BENCHMARK(BM_TitleSearch_CellsInsideCells)->Unit(benchmark::kMillisecond);

// One line of "<" that never closes, then the exact search's spans without
// their end on the line.
void BM_TitleSearch_OpenTagsAndSpans(benchmark::State &state)
{
    const QByteArray head = reply(toGbk(u"HTTP/1.1 200 OK\r\n\r\n<HTML>相关新闻1篇"_s), "<", "\r\n", ExchangeBound / 2);
    const QByteArray bytes = reply(head + "<p class=\"res\">", "<SPAN>x", "\r\n</p></HTML>", ExchangeBound);
    run(state, bytes, [](const QByteArray &page) {
        TagNameLowercaser lowered;
        receive(page, CompletionMarker::when([&](QByteArrayView, QStringView text) {
                    const qsizetype from = lowered.append(text);
                    return lowered.text().indexOf(u"</html>"_s, qMax<qsizetype>(0, from - 6)) >= 0;
                }),
                ReplyBuffer::Keep::Nothing);
        benchmark::DoNotOptimize(parseTitlePage(lowered.text(), TitleSearchMode::Exact).hits.size());
    });
}
BENCHMARK(BM_TitleSearch_OpenTagsAndSpans)->Unit(benchmark::kMillisecond);

// Every source's markers over and over. Arg 0: the sources read as GBK
// text (Alexa, Baidu, Soso, Sogou); 1: those read as UTF-8 bytes
// (PageRank, Bing, the link statistics, Google).
void BM_SiteStatistics_Sources(benchmark::State &state)
{
    const QString unit = u"找到相关结果约1个 span_iframe src=\"x\" <span class=\"sb_count\" id=\"count\">共1条 "
                         "<div id=\"sInfo\">搜索到约1项结果 <span class=\"resultstats\" 找到1<!-- 出站链接：1个 "
                         "約有1項結果 <a href=\"/site/linksin"_s;
    const bool text = state.range(0) == 0;
    const QByteArray bytes =
        reply("HTTP/1.1 200 OK\r\n\r\n<html>", text ? toGbk(unit) : unit.toUtf8(), "</html>", ExchangeBound);
    run(state, bytes, [text](const QByteArray &page) {
        if (text) {
            const HttpReply got = receive(page, CompletionMarker::inText(u"</html>"_s), ReplyBuffer::Keep::Text);
            benchmark::DoNotOptimize(parseAlexa(got.text).rank);
            benchmark::DoNotOptimize(parseBaidu(got.text));
            benchmark::DoNotOptimize(parseSoso(got.text));
            benchmark::DoNotOptimize(parseSogou(got.text));
            return;
        }
        const HttpReply got = receive(page, CompletionMarker::inBytes("</html>"), ReplyBuffer::Keep::Bytes);
        const QString decoded = decodeUtf8(got.bytes);
        benchmark::DoNotOptimize(parsePageRankPage(decoded));
        benchmark::DoNotOptimize(parseBing(decoded));
        benchmark::DoNotOptimize(parseLinkStats(decoded));
        benchmark::DoNotOptimize(parseGoogle(decoded));
    });
}
BENCHMARK(BM_SiteStatistics_Sources)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The relay's answer: a header that never ends, one byte at a time would be
// worse still for a buffer that searched it all each time.
void BM_SiteStatistics_RelayHeader(benchmark::State &state)
{
    const QByteArray bytes = reply("HTTP/1.1 200 OK\r\n", "X: 1\r\n", "\r\n1", ExchangeBound);
    run(state, bytes, [](const QByteArray &page) {
        const HttpReply got = receive(page, CompletionMarker::endOfBody(), ReplyBuffer::Keep::Bytes);
        benchmark::DoNotOptimize(parseRelayBody(relayAnswerBody(got.bytes).value_or(QByteArray())));
    });
}
BENCHMARK(BM_SiteStatistics_RelayHeader)->Unit(benchmark::kMillisecond);

// A result element full of openings of what the text reader strips, none of
// them closed, then the page's end.
void BM_Translation_OpenBlocks(benchmark::State &state)
{
    const QByteArray bytes =
        reply("HTTP/1.1 200 OK\r\n\r\n<span id=result_box>", "<style<script<!--<br ", "</div></html>", ExchangeBound);
    run(state, bytes, [](const QByteArray &page) {
        const HttpReply got = receive(page, CompletionMarker::inBytes("</html>"), ReplyBuffer::Keep::Bytes);
        benchmark::DoNotOptimize(translationFromAnswer(got.bytes));
    });
}
BENCHMARK(BM_Translation_OpenBlocks)->Unit(benchmark::kMillisecond);

// The service server's texts at their bound: a quarter of a million notice
// lines, and an advertisement of a megabyte.
void BM_Service_Texts(benchmark::State &state)
{
    const QByteArray bytes = reply(QByteArray(), "a|http://x/|y<br>", QByteArray(), 1024 * 1024);
    run(state, bytes, [](const QByteArray &text) {
        const QString reply = fromGbk(text);
        benchmark::DoNotOptimize(parseNotices(reply).size());
        benchmark::DoNotOptimize(parseAdvertisement(reply));
        benchmark::DoNotOptimize(updaterArgument(reply));
    });
}
BENCHMARK(BM_Service_Texts)->Unit(benchmark::kMillisecond);

// A word library at its bound: counted as a start counts it.
void BM_Service_Library(benchmark::State &state)
{
    const QByteArray bytes = reply(QByteArray(), toGbk(u"错误|正确\r\n"_s), QByteArray(), 16 * 1024 * 1024);
    run(state, bytes, [](const QByteArray &library) { benchmark::DoNotOptimize(libraryCount(library)); });
}
BENCHMARK(BM_Service_Library)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
