// Compressing a camera-sized picture: a 4000 × 3000 JPEG shrunk to a width of
// 1200 and recompressed at medium strength.
#include "images/resize_pic.h"
#include "qt_benchmark.h"
#include "settings/app_folder.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Smooth shading with fine grain, so that the JPEG is the size of a real
// photo of that resolution (a few megabytes at quality 90).
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(24));
            line[x] = qRgb((x / 16 + grain) % 256, (y / 12 + grain) % 256, ((x + y) / 28 + grain) % 256);
        }
    }
    return image;
}

void BM_ResizePic_Jpeg4000x3000(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"setting"_s);
    QDir(dir.path()).mkpath(u"data"_s);
    QFile settings(dir.filePath(u"setting/config.ini"_s));
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write("[ResizePic]\r\nResize=1\r\nMaxWidth=1200\r\nMaxHeight=0\r\nSmall=1\r\nStrong=2\r\n") < 0) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    settings.close();
    AppFolder::setCurrent(AppFolder(dir.path()));

    const QString source = dir.filePath(u"photo.jpg"_s);
    if (!photo(4000, 3000).save(source, "jpeg", 90)) {
        state.SkipWithError("cannot write the source picture");
        return;
    }
    const QString target = resizePicTarget(source);
    for (auto _ : state) {
        const ResizePicResult result = ResizePic(source, target, ResizePicOptions::fromSettings());
        if (result.code != 0) {
            state.SkipWithError("compression failed");
            break;
        }
    }
    state.counters["source_bytes"] = double(QFileInfo(source).size());
    state.counters["target_bytes"] = double(QFileInfo(target).size());
}
BENCHMARK(BM_ResizePic_Jpeg4000x3000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // The JPEG and GIF codecs are plugins, found through the application.
    return runBenchmarks<QCoreApplication>(argc, argv);
}
