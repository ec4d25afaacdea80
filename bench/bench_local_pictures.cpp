// An article's pictures saved locally: 20 photos of about 1 MB each, every
// one served after a pause of 300 ms from a fake server on 127.0.0.1, fetched
// four at a time and compressed to 800 pixels wide at medium strength.
#include "images/article_pictures.h"
#include "images/local_pictures.h"
#include "qt_benchmark.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/test_pictures.h"

#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <optional>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

constexpr int PictureCount = 20;

void BM_LocalPictures_20Photos1MB_300msDelay(benchmark::State &state)
{
    TempAppFolder app;
    if (!app.writeSettings(u"[ResizePic]\nResize=1\nMaxWidth=800\nMaxHeight=0\nSmall=1\nStrong=2\n"_s)) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    FakeHttpServer server;
    QString html;
    qint64 served = 0;
    for (int i = 1; i <= PictureCount; ++i) {
        const QByteArray jpeg = encodedPicture(photoImage(1400, 1050, quint32(i)), "jpeg", 92);
        served += jpeg.size();
        server.on(u"/%1.jpg"_s.arg(i)).respond(200, jpeg, "image/jpeg").delay(std::chrono::milliseconds(300));
        html += u"<p>第%1段</p><p><img src='http://%2/%1.jpg'></p>"_s.arg(i).arg(server.address());
    }
    const QList<ArticlePicture> pictures = articlePictures(html);
    const ResizePicOptions options = ResizePicOptions::fromSettings();

    qint64 stored = 0;
    int run = 0;
    for (auto _ : state) {
        const QString folder = app.path(u"\\img\\") + QString::number(++run);
        QDir().mkpath(folder);
        LocalPictures saver;
        std::optional<LocalPicturesResult> result;
        QObject::connect(&saver, &LocalPictures::finished, &saver,
                         [&result](const LocalPicturesResult &done) { result = done; });
        saver.start(pictures, folder, options, std::chrono::seconds(30));
        if (!waitFor(&saver, &LocalPictures::finished, 60000) || !result || result->savedCount() != PictureCount) {
            state.SkipWithError("not every picture was saved");
            break;
        }
        stored = 0;
        for (const LocalPicture &picture : result->pictures)
            stored += picture.bytes;
    }
    state.counters["served_bytes"] = double(served);
    state.counters["stored_bytes"] = double(stored);
}
BENCHMARK(BM_LocalPictures_20Photos1MB_300msDelay)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // The image codecs are plugins, found through the application.
    return runBenchmarks<QCoreApplication>(argc, argv);
}
