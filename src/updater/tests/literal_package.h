#pragma once

#include <QByteArray>
#include <QList>

namespace zorvane {

// The package split step by step as the installer first did it: find a
// marker, take everything up to the next one searched from ten bytes on.
// The oracle for the streaming splitter.
inline QList<QByteArray> literalSplitPackage(const QByteArray &package)
{
    static const QByteArray marker("\x00\x00\x00\x06\x03\x04\x06\x03\x05\x06", 10);
    QList<QByteArray> pieces;
    qsizetype p = package.indexOf(marker);
    while (p >= 0) {
        const qsizetype q = package.indexOf(marker, p + 10);
        pieces.append(q >= 0 ? package.mid(p + 10, q - p - 10) : package.mid(p + 10));
        p = q;
    }
    return pieces;
}

} // namespace zorvane
