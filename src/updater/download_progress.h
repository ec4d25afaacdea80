#pragma once

#include <QString>
#include <QtGlobal>

namespace zorvane {

// How far a download is, as the window shows it: the bar picJindu on a scale
// of 0 to 4335 units and the per-cent label lbljindu. Both are rounded down,
// so the label reads "100%" exactly when the last announced byte is in; the
// bar then stays just short of its full width, as it always has.
struct DownloadProgress
{
    static constexpr int barUnits = 4335;

    int barWidth = 0; // 0 … barUnits
    int percent = 0;  // 0 … 100

    QString percentText() const { return QString::number(percent) + u'%'; }
    bool operator==(const DownloadProgress &) const = default;
};

// `lastIndex` is the index of the last body byte received (−1 before the
// first), `contentLength` the length the header announced. An empty body is
// complete at once.
DownloadProgress downloadProgress(qint64 lastIndex, qint64 contentLength);

} // namespace zorvane
