#include "updater/download_progress.h"

namespace zorvane {

DownloadProgress downloadProgress(qint64 lastIndex, qint64 contentLength)
{
    if (contentLength <= 0)
        return {DownloadProgress::barUnits, 100};
    const qint64 index = qBound<qint64>(-1, lastIndex, contentLength - 1);
    // Integer arithmetic: the exact quotients, rounded down. Announced
    // lengths are bounded well below the range where the products overflow.
    DownloadProgress progress;
    progress.barWidth = index < 0 ? 0 : int(index * DownloadProgress::barUnits / contentLength);
    progress.percent = int((index + 1) * 100 / contentLength);
    return progress;
}

} // namespace zorvane
