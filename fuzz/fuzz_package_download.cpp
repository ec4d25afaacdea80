// Patchwell's package download on any reply a server may send: the input is
// "chunk lengths \0 reply", sent over a real connection on 127.0.0.1 in
// those pieces, then the server hangs up. A download that finishes wrote
// exactly the announced length; one that fails wrote nothing after the
// refusal; neither waits past the hang-up.
#include "updater/package_download.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_package_download";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    static QTcpServer server;
    if (!server.isListening() && !server.listen(QHostAddress::LocalHost, 0))
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray lengths = split < 0 ? QByteArray() : input.left(qMin<qsizetype>(split, 16));
    const QByteArray reply = split < 0 ? input : input.mid(split + 1);

    QEventLoop loop;
    QObject::connect(&server, &QTcpServer::newConnection, &loop, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        for (qsizetype at = 0, i = 0; at < reply.size(); ++i) {
            const qsizetype length = i < lengths.size() ? 1 + quint8(lengths[i]) : reply.size() - at;
            socket->write(reply.mid(at, length));
            socket->flush();
            at += length;
        }
        socket->disconnectFromHost();
    });

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    PackageDownload download;
    qint64 lastIndex = -1;
    bool finished = false;
    bool failed = false;
    QObject::connect(&download, &PackageDownload::progressed, &loop, [&](qint64 index, qint64 length) {
        if (index < lastIndex || index >= length || sink.size() != index + 1)
            __builtin_trap();
        lastIndex = index;
    });
    QObject::connect(&download, &PackageDownload::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(&download, &PackageDownload::failed, &loop, [&] {
        failed = true;
        loop.quit();
    });
    PackageDownload::Request request;
    request.server = {u"127.0.0.1"_s, server.serverPort()};
    request.path = u"/p.md"_s;
    request.timeout = std::chrono::milliseconds(1500);
    request.maxBodySize = 1 << 20;
    download.start(request, &sink);
    loop.exec();
    QObject::disconnect(&server, nullptr, &loop, nullptr);

    if (finished == failed)
        __builtin_trap();
    if (finished && (sink.size() != download.contentLength() || download.contentLength() > request.maxBodySize))
        __builtin_trap();
    if (sink.size() > qMax<qint64>(0, download.contentLength()))
        __builtin_trap();
    for (const QChar c : download.statusLine()) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            __builtin_trap();
    }
    return 0;
}
