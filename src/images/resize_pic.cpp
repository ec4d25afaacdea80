#include "images/resize_pic.h"

#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "text/text_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// Qt refuses images above 128 MB by default; a 40-megapixel camera picture
// needs more, while a hostile header still cannot make us allocate gigabytes.
constexpr int AllocationLimitMb = 1024;

constexpr int ReductionQualities[] = {80, 50, 30, 10};

ResizePicResult notFound()
{
    return {u"没有找到图片。"_s, ResizePicNotLoaded};
}
ResizePicResult notLoaded()
{
    return {u"载入图片失败。"_s, ResizePicNotLoaded};
}
ResizePicResult noStrength()
{
    return {u"请选择压缩图片大小的强度。"_s, ResizePicNoStrength};
}
ResizePicResult notSaved()
{
    return {u"保存图片失败"_s, ResizePicNotSaved};
}
ResizePicResult alreadySmall()
{
    return {u"图片已经很小了，无需压缩。"_s, ResizePicAlreadySmall};
}
ResizePicResult nothingChosen()
{
    return {u"请先在设置中选择压缩尺寸或压缩质量。"_s, ResizePicDone};
}

// The picture as an opaque 32-bit canvas. Transparent parts become white:
// a JPEG has no transparency, and black would show through instead.
QImage toCanvas(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage canvas(picture.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, picture);
    painter.end();
    return canvas;
}

QImage readCanvas(QImageReader &reader)
{
    // The name says little: compressed pictures keep their old extension
    // whatever they hold, so photo_new.gif may well be a JPEG.
    reader.setDecideFormatFromContent(true);
    // Browsers show a camera picture upright by its orientation tag; the
    // re-encoded file carries no tag, so the turn is applied to the pixels.
    reader.setAutoTransform(true);
    reader.setAllocationLimit(AllocationLimitMb);
    const QImage picture = reader.read();
    return picture.isNull() ? QImage() : toCanvas(picture);
}

std::optional<QByteArray> encode(const QImage &canvas, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(canvas))
        return std::nullopt;
    buffer.close();
    return bytes;
}

// Writes the canvas to the working file and keeps what was written, so that
// its length and the final copy need no second read.
bool saveWorkingFile(const QImage &canvas, const QString &path, const char *format, int quality, QByteArray &written)
{
    std::optional<QByteArray> bytes = encode(canvas, format, quality);
    if (!bytes || !writeFileAtomically(path, *bytes))
        return false;
    written = std::move(*bytes);
    return true;
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

qsizetype extensionStart(const QString &path)
{
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= nameStart ? dot : -1;
}

} // namespace

QString resizePicTarget(const QString &source)
{
    const qsizetype dot = extensionStart(source);
    if (dot < 0)
        return source + u"_new"_s;
    return source.left(dot) + u"_new"_s + source.mid(dot);
}

QString resizePicWorkingFile(const QString &source)
{
    const qsizetype dot = extensionStart(source);
    // The extension is appended to the native path, so a "\" in a file name
    // cannot lead out of the data folder.
    return AppFolder::current().path(u"\\data\\") + u"cache"_s + (dot < 0 ? QString() : source.mid(dot));
}

QSize fitPictureSize(QSize size, int maxWidth, int maxHeight)
{
    int width = size.width();
    int height = size.height();
    if (maxWidth > 0 && width > maxWidth) {
        const float ratio = float(height) / float(width);
        height = int(std::floor(float(maxWidth) * ratio));
        width = maxWidth;
    }
    if (maxHeight > 0 && height > maxHeight) {
        const float ratio = float(width) / float(height);
        width = int(std::floor(float(maxHeight) * ratio));
        height = maxHeight;
    }
    // A very flat picture would round down to no pixels at all.
    return {std::max(width, 1), std::max(height, 1)};
}

ResizePicResult ResizePic(const QString &source, const QString &target)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return notFound();
    QImageReader sourceReader(source);
    QImage canvas = readCanvas(sourceReader);
    if (canvas.isNull())
        return notLoaded();
    const qint64 sourceSize = sourceInfo.size();

    const int resize = configInt(Cfg::ResizePic::Resize);
    const int maxWidth = configInt(Cfg::ResizePic::MaxWidth);
    const int maxHeight = configInt(Cfg::ResizePic::MaxHeight);
    const int recompress = configInt(Cfg::ResizePic::Small);
    const int strong = configInt(Cfg::ResizePic::Strong);
    if (resize != 1 && recompress != 1)
        return nothingChosen();

    const QString workingPath = resizePicWorkingFile(source);
    if (recompress == 1 && strong == 0)
        return noStrength();
    // The working file or the target being the source itself would overwrite it.
    if (sameFile(source, workingPath) || sameFile(source, target))
        return notSaved();

    // What the working file holds now; empty until it is first written.
    QByteArray working;
    if (resize == 1) {
        const QSize size = fitPictureSize(canvas.size(), maxWidth, maxHeight);
        canvas = canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!saveWorkingFile(canvas, workingPath, "bmp", -1, working))
            return notSaved();
        QBuffer bitmap(&working);
        QImageReader bitmapReader(&bitmap);
        canvas = readCanvas(bitmapReader);
        if (canvas.isNull())
            return notSaved();
    }

    if (recompress == 1) {
        static constexpr int StrengthQualities[] = {80, 50, 30};
        if (strong < 1 || strong > 3)
            return notSaved();
        if (!saveWorkingFile(canvas, workingPath, "jpeg", StrengthQualities[strong - 1], working))
            return notSaved();
    }

    if (resize == 1) {
        for (const int quality : ReductionQualities) {
            if (working.size() <= sourceSize)
                break;
            if (!saveWorkingFile(canvas, workingPath, "jpeg", quality, working))
                return notSaved();
        }
    }

    if (working.size() > sourceSize)
        return alreadySmall();
    if (!writeFileAtomically(target, working))
        return notSaved();
    return {u"压缩成功，图片已保存至："_s + target, ResizePicDone};
}

} // namespace zorvane
