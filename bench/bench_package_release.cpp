// patchwell-pack releasing a 200 MB update package (a short script and one
// file of 200 MB) into an empty content folder, unsigned and signed with a
// key made by the minisign tool at the start. The real program is run, so
// the figures are what a maker sees.
// Peak memory: /usr/bin/time -v build/bench/bench_package_release reports the
// largest of the benchmark and the programs it ran, patchwell-pack (and the
// minisign it runs) among them.
#include "qt_benchmark.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 payloadSize = 200LL * 1024 * 1024;
constexpr qint64 blockSize = 1024 * 1024;

bool run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Release
{
    QTemporaryDir dir;
    QString script;
    QString payload;
    QString key;

    bool setUp()
    {
        const QDir root(dir.path());
        script = root.filePath(u"install.sh"_s);
        payload = root.filePath(u"payload.bin"_s);
        key = root.filePath(u"maker.key"_s);
        QFile scriptFile(script);
        if (!scriptFile.open(QIODevice::WriteOnly) || scriptFile.write("mv -f update/1 payload.bin\n") <= 0)
            return false;
        // Incompressible bytes, as a real release's archives are, written a
        // block at a time.
        QFile file(payload);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        QByteArray block(blockSize, Qt::Uninitialized);
        QRandomGenerator random(7);
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        for (qint64 written = 0; written < payloadSize; written += blockSize) {
            block[0] = char(written / blockSize);
            if (file.write(block) != block.size())
                return false;
        }
        return run(u"minisign"_s, {u"-G"_s, u"-W"_s, u"-p"_s, root.filePath(u"maker.pub"_s), u"-s"_s, key});
    }
};

Release *release()
{
    static Release *shared = [] {
        auto *made = new Release;
        if (!made->setUp()) {
            delete made;
            return static_cast<Release *>(nullptr);
        }
        return made;
    }();
    return shared;
}

void BM_PatchwellPack_200MB(benchmark::State &state)
{
    Release *setUp = release();
    if (!setUp) {
        state.SkipWithError("cannot write the release's files or make a key");
        return;
    }
    const bool signing = state.range(0) != 0;
    int number = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString content = QDir(setUp->dir.path()).filePath(u"content-%1"_s.arg(++number));
        QStringList args;
        if (signing)
            args << u"--sign"_s << setUp->key;
        args << content << u"2.0"_s << u"20250301"_s << setUp->script << setUp->payload;
        const bool made = QDir().mkpath(content);
        state.ResumeTiming();
        if (!made || !run(QStringLiteral(ZORVANE_APP_DIR "/patchwell-pack"), args)) {
            state.SkipWithError("patchwell-pack failed");
            break;
        }
        state.PauseTiming();
        QDir(content).removeRecursively();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * payloadSize);
}
BENCHMARK(BM_PatchwellPack_200MB)->ArgName("signed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
