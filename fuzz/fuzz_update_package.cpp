// What Patchwell reads from the service server: the update list, the package
// stream and the signature files. The streaming splitter must agree with the
// literal split however the stream is cut into chunks.
#include "literal_package.h"
#include "updater/minisign.h"
#include "updater/package_format.h"
#include "net/update_list.h"

#include "text/gbk.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    const UpdateList list = parseUpdateList(fromGbk(input));
    for (const UpdatePackage &package : list.packages) {
        if (!isSafePackageName(package.name) || package.path.isEmpty() || package.path.contains(u'\n')
            || package.stamp.contains(u'\r'))
            __builtin_trap();
    }

    const QList<QByteArray> expected = literalSplitPackage(input);
    if (Package::splitPackage(input) != expected)
        __builtin_trap();
    // Chunk sizes taken from the input itself, 1 to 16 bytes.
    QList<QByteArray> pieces;
    PackageSplitter splitter;
    splitter.pieceStarted = [&pieces](int index) {
        if (index != pieces.size())
            __builtin_trap();
        pieces.append(QByteArray());
        return true;
    };
    splitter.pieceData = [&pieces](QByteArrayView bytes) {
        pieces.last().append(bytes);
        return true;
    };
    for (qsizetype at = 0, i = 0; at < input.size(); ++i) {
        const qsizetype chunk = qMin<qsizetype>(1 + (quint8(input[i % input.size()]) & 15), input.size() - at);
        splitter.feed(QByteArrayView(input).sliced(at, chunk));
        at += chunk;
    }
    splitter.finish();
    if (pieces != expected)
        __builtin_trap();

    if (const auto signature = MinisignSignature::parse(input)) {
        if (signature->keyId.size() != 8 || signature->signature.size() != 64
            || signature->globalSignature.size() != 64)
            __builtin_trap();
    }
    if (const auto key = MinisignPublicKey::parse(input)) {
        if (key->keyId.size() != 8 || key->key.size() != 32)
            __builtin_trap();
    }
    return 0;
}
