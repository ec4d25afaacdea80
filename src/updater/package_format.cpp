#include "updater/package_format.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The first marker in bytes[from…], or -1. The C library's search is a few
// times faster than Boyer–Moore here, and the split is on the download's
// path.
qsizetype findMarker(QByteArrayView bytes, qsizetype from = 0)
{
    if (bytes.size() - from < Package::markerSize)
        return -1;
    const void *found =
        ::memmem(bytes.data() + from, size_t(bytes.size() - from), Package::markerBytes, size_t(Package::markerSize));
    return found ? static_cast<const char *>(found) - bytes.data() : -1;
}

} // namespace

namespace Package {

QString pieceFileName(int index)
{
    return index == 0 ? u"0.bat"_s : QString::number(index);
}

QByteArray trustedComment(const QString &name, const QString &stamp)
{
    return "zorvane-package name=" + name.toUtf8() + " stamp=" + stamp.toUtf8();
}

QList<QByteArray> splitPackage(QByteArrayView package)
{
    QList<QByteArray> pieces;
    PackageSplitter splitter;
    splitter.pieceStarted = [&pieces](int) {
        pieces.append(QByteArray());
        return true;
    };
    splitter.pieceData = [&pieces](QByteArrayView bytes) {
        pieces.last().append(bytes);
        return true;
    };
    splitter.feed(package);
    splitter.finish();
    return pieces;
}

std::optional<QByteArray> joinPackage(const QByteArray &script, const QList<QByteArray> &files)
{
    qsizetype size = markerSize + script.size();
    for (const QByteArray &file : files)
        size += markerSize + file.size();
    QByteArray package;
    package.reserve(size);
    // A piece holding the marker would come back as two; splitting the
    // whole again finds it.
    package.append(marker()).append(script);
    for (const QByteArray &file : files)
        package.append(marker()).append(file);
    if (splitPackage(package).size() != files.size() + 1)
        return std::nullopt;
    return package;
}

} // namespace Package

bool PackageSplitter::feed(QByteArrayView chunk)
{
    qsizetype from = 0;
    if (!m_held.isEmpty()) {
        // A marker may begin in the bytes held back so far: look for one
        // starting there, in those bytes and the start of this chunk.
        const qsizetype held = m_held.size();
        m_held.append(chunk.first(qMin(chunk.size(), Package::markerSize - 1)));
        const qsizetype found = findMarker(m_held);
        if (found >= 0 && found < held) {
            if (!emitData(QByteArrayView(m_held).first(found)) || !startPiece())
                return false;
            from = found + Package::markerSize - held;
        } else if (chunk.size() < Package::markerSize - 1) {
            // The whole chunk is held now; only what is too far from the end
            // to begin a marker is settled.
            const qsizetype settled = qMax<qsizetype>(0, m_held.size() - (Package::markerSize - 1));
            if (!emitData(QByteArrayView(m_held).first(settled)))
                return false;
            m_held.remove(0, settled);
            return true;
        } else if (!emitData(QByteArrayView(m_held).first(held))) {
            return false;
        }
        m_held.clear();
    }

    for (;;) {
        const qsizetype found = findMarker(chunk, from);
        if (found < 0)
            break;
        if (!emitData(chunk.sliced(from, found - from)) || !startPiece())
            return false;
        from = found + Package::markerSize;
    }
    // The last bytes may be the beginning of a marker that the next chunk
    // completes.
    const qsizetype keep = qMin(Package::markerSize - 1, chunk.size() - from);
    if (!emitData(chunk.sliced(from, chunk.size() - keep - from)))
        return false;
    m_held = chunk.last(keep).toByteArray();
    return true;
}

bool PackageSplitter::startPiece()
{
    const int index = m_pieces++;
    return !pieceStarted || pieceStarted(index);
}

bool PackageSplitter::finish()
{
    const QByteArray rest = std::exchange(m_held, QByteArray());
    return emitData(rest);
}

bool PackageSplitter::emitData(QByteArrayView bytes)
{
    // Bytes before the first marker belong to no piece.
    if (bytes.isEmpty() || m_pieces == 0 || !pieceData)
        return true;
    return pieceData(bytes);
}

} // namespace zorvane
