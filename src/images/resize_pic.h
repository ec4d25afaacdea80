#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace zorvane {

// Image compression: scale a picture down to the configured maximum size
// and/or re-encode it as JPEG, then save it next to the source as "<name>_new".
// The rules themselves (compressPicture) work on a picture in memory, so that
// the article's pictures are compressed exactly as a picked file is.

// Section "ResizePic" of the settings file, as numbers (toInt: a missing or
// non-numeric value is 0). Read once per command.
struct ResizePicOptions
{
    int resize = 0;    // 1: scale down to fit maxWidth × maxHeight
    int maxWidth = 0;  // 0 or less: no limit
    int maxHeight = 0; // 0 or less: no limit
    int small = 0;     // 1: re-encode as JPEG at the strength
    int strong = 0;    // 0 none chosen, 1 low, 2 medium, 3 high

    static ResizePicOptions fromSettings();

    bool chosen() const { return resize == 1 || small == 1; }
    // Re-encoding asked for without a strength: nothing can be compressed
    // until one is chosen in the settings dialog.
    bool missingStrength() const { return small == 1 && strong == 0; }
};

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
ResizePicResult ResizePic(const QString &source, const QString &target, const ResizePicOptions &options);

// "_new" before the last "." of the file name, or at its end.
QString resizePicTarget(const QString &source);

// The application folder's "\data\cache" followed by the source's extension
// (its dot included).
QString resizePicWorkingFile(const QString &source);

// The size after fitting width into maxWidth, then height into maxHeight
// (0 or less: no limit), keeping the proportions in single precision and
// rounding down; never smaller than 1 × 1.
QSize fitPictureSize(QSize size, int maxWidth, int maxHeight);

// A picture read from device as the rules see it: by its content whatever its
// name, turned upright by its orientation tag, on an opaque canvas (white
// where it was transparent). Null when it is not a picture Qt can read.
QImage readPictureCanvas(QIODevice *device);

// What the rules made of one picture.
struct CompressedPicture
{
    enum Outcome {
        Smaller,        // bytes is no larger than the source
        NotSmaller,     // even the last step is larger: keep the source
        NothingChosen,  // neither scaling nor re-encoding is on
        NoStrength,     // re-encoding without a strength
        EncodingFailed, // an encoding failed, or the strength is unknown
    };
    Outcome outcome = NothingChosen;
    // The last encoding made (what the working file holds), empty when none,
    // and its format: "bmp" after scaling alone, otherwise "jpeg".
    QByteArray bytes;
    QByteArray format;
};

// The compression rules on a canvas from readPictureCanvas whose source is
// sourceSize bytes long: scaling (saved as a bitmap), the strength's JPEG
// quality, and the reduction steps while the result is larger than the source.
CompressedPicture compressPicture(QImage canvas, qint64 sourceSize, const ResizePicOptions &options);

} // namespace zorvane
