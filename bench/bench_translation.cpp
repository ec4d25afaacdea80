// The translation round trip of a 20,000-character article against a fake
// service on 127.0.0.1 (one new connection per translation, as in use), and
// its two halves on their own: building the request, reading the answer.
#include "qt_benchmark.h"
#include "rewrite/translation.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "translation_pages.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Paragraphs of running Chinese news text with a little ASCII in them.
QString chineseArticle(qsizetype characters)
{
    const QString sentence = u"今天上午，市政府召开新闻发布会，介绍了A&B=C项目的进展情况。"_s;
    QString html;
    qsizetype written = 0;
    while (written < characters) {
        QString paragraph;
        while (paragraph.size() < 200 && written + paragraph.size() < characters)
            paragraph += sentence;
        paragraph.truncate(qMin<qsizetype>(paragraph.size(), characters - written));
        written += paragraph.size();
        html += u"<p>"_s + paragraph + u"</p>"_s;
    }
    return html;
}

// The service's page for an article of `paragraphs` paragraphs: the result
// written in entities, about three English characters for each Chinese one.
QByteArray answerPage(int paragraphs)
{
    const QString sentence = u"This morning the city government held a press conference on the "
                             "progress of the A&amp;B=C project. "_s;
    QString result;
    for (int i = 0; i < paragraphs; ++i) {
        result += u"&lt;p&gt;"_s;
        for (int k = 0; k < 6; ++k)
            result += sentence;
        result += u"&lt;/p&gt;"_s;
    }
    return TranslationPages::answerPage(result);
}

constexpr qsizetype ArticleLength = 20000;

void BM_RoundTrip(benchmark::State &state)
{
    TempAppFolder folder;
    FakeHttpServer server;
    const QString article = chineseArticle(state.range(0));
    const QByteArray answer = answerPage(int(state.range(0) / 200));
    server.on(u"/"_s).reply(answer);
    if (!folder.isValid() || !server.serve(Cfg::Servers::TranslateAddress)) {
        state.SkipWithError("no application folder or fake server");
        return;
    }
    ArticleTranslator translator;
    QEventLoop loop;
    bool translated = true;
    QObject::connect(&translator, &ArticleTranslator::finished, &loop, [&](const TranslationOutcome &outcome) {
        translated = translated && outcome.status == TranslationOutcome::Status::Translated;
        loop.quit();
    });
    for (auto _ : state) {
        translator.translateArticle(article, TranslationDirection::ZhToEn);
        loop.exec();
    }
    if (!translated)
        state.SkipWithError("a translation failed");
    state.counters["request_bytes"] =
        double(toGbk(translationRequestText(article, TranslationDirection::ZhToEn)).size());
    state.counters["answer_bytes"] = double(answer.size());
}
BENCHMARK(BM_RoundTrip)->Arg(ArticleLength)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildRequest(benchmark::State &state)
{
    TempAppFolder folder;
    const QString article = chineseArticle(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(toGbk(translationRequestText(article, TranslationDirection::ZhToEn)));
}
BENCHMARK(BM_BuildRequest)->Arg(ArticleLength)->Unit(benchmark::kMillisecond);

void BM_ReadAnswer(benchmark::State &state)
{
    const QByteArray answer = answerPage(int(state.range(0) / 200));
    for (auto _ : state)
        benchmark::DoNotOptimize(translationFromAnswer(answer));
}
BENCHMARK(BM_ReadAnswer)->Arg(ArticleLength)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
