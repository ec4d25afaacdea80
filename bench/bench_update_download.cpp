// Installing a 200 MB update package served over 127.0.0.1: the whole run
// (list, signature, download streamed to disk while it is split and hashed,
// the signature check, script) and the download alone. The package is signed
// with a key made by the minisign tool at the start.
// Peak memory: /usr/bin/time -v build/bench/bench_update_download.
#include "qt_benchmark.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "updater/package_download.h"
#include "updater/package_format.h"
#include "updater/update_run.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

constexpr qint64 payloadSize = 200LL * 1024 * 1024;
constexpr qint64 blockSize = 1024 * 1024;

// Serves the update list and the package file from disk, a block at a time,
// on its own thread, as a static web server would.
class PackageServer : public QObject
{
public:
    PackageServer(const QString &packageFile) : m_packageFile(packageFile) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection())
                serve(socket);
        });
        return m_server->serverPort();
    }

private:
    void serve(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_requests[socket] += socket->readAll();
            if (!m_requests[socket].contains("\r\n\r\n"))
                return;
            // A later socket may take this one's address.
            const QByteArray request = m_requests.take(socket);
            auto answer = [socket](const QByteArray &body) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
                              + body);
                socket->disconnectFromHost();
            };
            if (request.startsWith("GET /index.php")) {
                answer("v|s|/v.md");
                return;
            }
            if (request.startsWith("GET /v.md.minisig ")) {
                QFile signature(m_packageFile + u".minisig"_s);
                answer(signature.open(QIODevice::ReadOnly) ? signature.readAll() : QByteArray());
                return;
            }
            auto *file = new QFile(m_packageFile, socket);
            if (!file->open(QIODevice::ReadOnly)) {
                socket->abort();
                return;
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                          + QByteArray::number(file->size()) + "\r\n\r\n");
            auto sendMore = [socket, file] {
                while (socket->bytesToWrite() < 4 * blockSize && !file->atEnd())
                    socket->write(file->read(blockSize));
                if (file->atEnd() && socket->bytesToWrite() == 0)
                    socket->disconnectFromHost();
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, sendMore);
            sendMore();
        });
    }

    QString m_packageFile;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, QByteArray> m_requests;
};

struct BenchFolder
{
    QTemporaryDir dir;
    QThread serverThread;
    PackageServer *server = nullptr;
    quint16 port = 0;

    bool setUp()
    {
        QDir root(dir.path());
        if (!root.mkpath(u"setting"_s) || !root.mkpath(u"update"_s) || !root.mkpath(u"served"_s))
            return false;
        QFile settings(root.filePath(u"setting/config.ini"_s));
        if (!settings.open(QIODevice::WriteOnly))
            return false;
        settings.close();
        AppFolder::setCurrent(AppFolder(dir.path()));

        // Incompressible bytes, as a real package's archives are.
        QFile package(root.filePath(u"served/v.md"_s));
        if (!package.open(QIODevice::WriteOnly))
            return false;
        package.write(Package::marker().data(), Package::markerSize);
        package.write("rm -f update/1 update/v.md\n");
        package.write(Package::marker().data(), Package::markerSize);
        QByteArray block(blockSize, Qt::Uninitialized);
        QRandomGenerator random(7);
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        for (qint64 written = 0; written < payloadSize; written += blockSize) {
            block[0] = char(written / blockSize); // no two blocks alike
            if (package.write(block) != block.size())
                return false;
        }
        package.close();
        if (!sign(root, package.fileName()))
            return false;

        server = new PackageServer(package.fileName());
        server->moveToThread(&serverThread);
        serverThread.start();
        QMetaObject::invokeMethod(
            server, [this] { port = server->listen(); }, Qt::BlockingQueuedConnection);
        return port != 0 && setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(port));
    }

    // A key pair made for the run, its public key where Patchwell looks, and
    // the package's signature beside it, for the list entry "v|s".
    static bool sign(const QDir &root, const QString &package)
    {
        auto minisign = [](const QStringList &args) {
            QProcess tool;
            tool.setProcessChannelMode(QProcess::MergedChannels);
            tool.start(u"minisign"_s, args);
            return tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
        };
        const QString key = root.filePath(u"bench.key"_s);
        return minisign({u"-G"_s, u"-W"_s, u"-p"_s, root.filePath(u"setting/update.pub"_s), u"-s"_s, key})
               && minisign({u"-S"_s, u"-s"_s, key, u"-m"_s, package, u"-t"_s,
                            QString::fromUtf8(Package::trustedComment(u"v"_s, u"s"_s))});
    }

    ~BenchFolder()
    {
        QMetaObject::invokeMethod(
            server, [this] { delete server; }, Qt::BlockingQueuedConnection);
        serverThread.quit();
        serverThread.wait();
    }
};

BenchFolder *folder()
{
    static BenchFolder *shared = [] {
        auto *created = new BenchFolder;
        if (!created->setUp()) {
            delete created;
            return static_cast<BenchFolder *>(nullptr);
        }
        return created;
    }();
    return shared;
}

void BM_UpdateRun_200MB(benchmark::State &state)
{
    BenchFolder *bench = folder();
    if (!bench) {
        state.SkipWithError("cannot set up the folder and the server");
        return;
    }
    for (auto _ : state) {
        UpdateRun run;
        QEventLoop loop;
        UpdateRun::Outcome outcome = UpdateRun::Outcome::Failed;
        QObject::connect(&run, &UpdateRun::updatesFound, &run, &UpdateRun::proceed);
        QObject::connect(&run, &UpdateRun::finished, &loop, [&](UpdateRun::Outcome o) {
            outcome = o;
            loop.quit();
        });
        run.start();
        loop.exec();
        if (outcome != UpdateRun::Outcome::Installed) {
            state.SkipWithError(qPrintable(u"the run failed: "_s + run.failureDetail()));
            break;
        }
        setConfigText(Cfg::vision::update, QString()); // the same package again next time
    }
    state.SetBytesProcessed(state.iterations() * payloadSize);
}
BENCHMARK(BM_UpdateRun_200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PackageDownload_200MB(benchmark::State &state)
{
    BenchFolder *bench = folder();
    if (!bench) {
        state.SkipWithError("cannot set up the folder and the server");
        return;
    }
    const QString target = QDir(bench->dir.path()).filePath(u"update/download.part"_s);
    for (auto _ : state) {
        QFile sink(target);
        if (!sink.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot write the package");
            break;
        }
        PackageDownload download;
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&download, &PackageDownload::finished, &loop, [&] {
            ok = true;
            loop.quit();
        });
        QObject::connect(&download, &PackageDownload::failed, &loop, &QEventLoop::quit);
        download.start({{u"127.0.0.1"_s, bench->port}, u"/v.md"_s}, &sink);
        loop.exec();
        if (!ok) {
            state.SkipWithError("the download failed");
            break;
        }
    }
    QFile::remove(target);
    state.SetBytesProcessed(state.iterations() * payloadSize);
}
BENCHMARK(BM_PackageDownload_200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
