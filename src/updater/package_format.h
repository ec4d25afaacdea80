#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zorvane {

// An update package (".md") is a byte stream of pieces, each opened by the
// ten-byte marker below and running up to the next marker or the end of the
// stream. Bytes before the first marker belong to no piece. Piece 0 is the
// installation script, saved as "0.bat"; piece k (k ≥ 1) is saved as a file
// named k, and the script moves those files into place. Patchwell splits
// packages; the packer joins them.
namespace Package {

inline constexpr char markerBytes[] = {0x00, 0x00, 0x00, 0x06, 0x03, 0x04, 0x06, 0x03, 0x05, 0x06};
inline constexpr qsizetype markerSize = qsizetype(sizeof markerBytes);

inline QByteArrayView marker()
{
    return QByteArrayView(markerBytes, markerSize);
}

// The file name piece `index` is saved under in the folder "\update\".
QString pieceFileName(int index);

// The trusted comment the maker's signature of a package carries: the list
// entry it was released as, in UTF-8. A package is installed only under the
// very name and stamp it was signed for, so an old signed package listed
// again under a new name or a later stamp is refused.
QByteArray trustedComment(const QString &name, const QString &stamp);

// The pieces of a whole package held in memory, script first. A stream
// without any marker has no pieces.
QList<QByteArray> splitPackage(QByteArrayView package);

// The package holding `script` as piece 0 and `files` as pieces 1, 2, …
// Nothing when a piece holds the marker itself: it would split apart.
std::optional<QByteArray> joinPackage(const QByteArray &script, const QList<QByteArray> &files);

} // namespace Package

// Splits a package that arrives in chunks of any size, so that a package of
// any length is split in constant memory. A marker may be cut anywhere
// between two chunks. The callbacks may end the split early by returning
// false, which feed() and finish() then return.
class PackageSplitter
{
public:
    // A new piece begins; pieces are numbered from 0 in stream order.
    std::function<bool(int index)> pieceStarted;
    // More bytes of the piece that began last, in order; never called before
    // the first piece began. The view is valid only during the call.
    std::function<bool(QByteArrayView bytes)> pieceData;

    bool feed(QByteArrayView chunk);
    // The end of the stream: hands on what was held back in case it began a
    // marker.
    bool finish();

    int pieceCount() const { return m_pieces; }

private:
    bool emitData(QByteArrayView bytes);
    bool startPiece();

    QByteArray m_held; // bytes at the end of the stream so far that may begin a marker
    int m_pieces = 0;
};

} // namespace zorvane
