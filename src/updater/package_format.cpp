#include "updater/package_format.h"

namespace Package {

QString pieceFileName(int index)
{
    return index == 0 ? QStringLiteral("0.bat") : QString::number(index);
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
    // Held-back bytes and the new chunk are searched as one, so a marker cut
    // between two chunks is found; at most markerSize - 1 bytes are copied
    // twice.
    m_work.clear();
    m_work.reserve(m_held.size() + chunk.size());
    m_work.append(m_held).append(chunk);
    m_held.clear();

    qsizetype from = 0;
    for (;;) {
        const qsizetype found = m_matcher.indexIn(m_work.constData(), m_work.size(), from);
        if (found < 0)
            break;
        if (!emitData(QByteArrayView(m_work).sliced(from, found - from)))
            return false;
        const int index = m_pieces++;
        if (pieceStarted && !pieceStarted(index))
            return false;
        from = found + Package::markerSize;
    }
    const qsizetype keep = qMin(Package::markerSize - 1, m_work.size() - from);
    const qsizetype safeEnd = m_work.size() - keep;
    if (!emitData(QByteArrayView(m_work).sliced(from, safeEnd - from)))
        return false;
    m_held = m_work.sliced(safeEnd);
    return true;
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
