#pragma once

#include <QSize>
#include <QString>

namespace zorvane {

// Image compression: scale a picture down to the configured maximum size
// and/or re-encode it as JPEG, then save it next to the source as "<name>_new".
// Options are read from section "ResizePic" of the settings file at each call.

struct ResizePicResult
{
    QString message;
    qint16 code = 0;
};

// Result codes. The window opens the settings dialog for NoStrength.
enum ResizePicCode : qint16 {
    ResizePicDone = 0,
    ResizePicNotLoaded = 1, // no such file, or not a readable picture
    ResizePicNoStrength = 2,
    ResizePicNotSaved = 3,
    ResizePicAlreadySmall = 4,
};

// Compresses source into target. The working file "\data\cache" + the
// source's extension is overwritten and left in place; the source is never
// written to.
ResizePicResult ResizePic(const QString &source, const QString &target);

// "_new" before the last "." of the file name, or at its end.
QString resizePicTarget(const QString &source);

// The application folder's "\data\cache" followed by the source's extension
// (its dot included).
QString resizePicWorkingFile(const QString &source);

// The size after fitting width into maxWidth, then height into maxHeight
// (0 or less: no limit), keeping the proportions in single precision and
// rounding down; never smaller than 1 × 1.
QSize fitPictureSize(QSize size, int maxWidth, int maxHeight);

} // namespace zorvane
