#include "images/resize_pic.h"

#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "settings/config_snapshot.h"
#include "text/text_file.h"

#include <QBuffer>
#include <QFile>
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

ResizePicOptions ResizePicOptions::fromSettings()
{
    const ConfigSnapshot config = ConfigSnapshot::read();
    return {config.integer(Cfg::ResizePic::Resize), config.integer(Cfg::ResizePic::MaxWidth),
            config.integer(Cfg::ResizePic::MaxHeight), config.integer(Cfg::ResizePic::Small),
            config.integer(Cfg::ResizePic::Strong)};
}

QImage readPictureCanvas(QIODevice *device)
{
    QImageReader reader(device);
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

CompressedPicture compressPicture(QImage canvas, qint64 sourceSize, const ResizePicOptions &options)
{
    if (!options.chosen())
        return {CompressedPicture::NothingChosen, {}, {}};
    if (options.missingStrength())
        return {CompressedPicture::NoStrength, {}, {}};

    CompressedPicture result{CompressedPicture::EncodingFailed, {}, {}};
    QByteArray &working = result.bytes;
    if (options.resize == 1) {
        const QSize size = fitPictureSize(canvas.size(), options.maxWidth, options.maxHeight);
        canvas = canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        std::optional<QByteArray> bitmap = encode(canvas, "bmp", -1);
        if (!bitmap)
            return result;
        working = std::move(*bitmap);
        result.format = "bmp";
        QBuffer buffer(&working);
        canvas = readPictureCanvas(&buffer);
        if (canvas.isNull())
            return result;
    }

    if (options.small == 1) {
        static constexpr int StrengthQualities[] = {80, 50, 30};
        if (options.strong < 1 || options.strong > 3)
            return result;
        std::optional<QByteArray> jpeg = encode(canvas, "jpeg", StrengthQualities[options.strong - 1]);
        if (!jpeg)
            return result;
        working = std::move(*jpeg);
        result.format = "jpeg";
    }

    if (options.resize == 1) {
        for (const int quality : ReductionQualities) {
            if (working.size() <= sourceSize)
                break;
            std::optional<QByteArray> jpeg = encode(canvas, "jpeg", quality);
            if (!jpeg)
                return result;
            working = std::move(*jpeg);
            result.format = "jpeg";
        }
    }

    result.outcome = working.size() > sourceSize ? CompressedPicture::NotSmaller : CompressedPicture::Smaller;
    return result;
}

ResizePicResult ResizePic(const QString &source, const QString &target, const ResizePicOptions &options)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return notFound();
    QFile sourceFile(source);
    if (!sourceFile.open(QIODevice::ReadOnly))
        return notLoaded();
    const QImage canvas = readPictureCanvas(&sourceFile);
    sourceFile.close();
    if (canvas.isNull())
        return notLoaded();
    if (!options.chosen())
        return nothingChosen();
    if (options.missingStrength())
        return noStrength();
    // The working file or the target being the source itself would overwrite it.
    const QString workingPath = resizePicWorkingFile(source);
    if (sameFile(source, workingPath) || sameFile(source, target))
        return notSaved();

    const CompressedPicture compressed = compressPicture(canvas, sourceInfo.size(), options);
    // The working file ends as the last encoding left it, whatever the outcome.
    if (!compressed.bytes.isEmpty() && !writeFileAtomically(workingPath, compressed.bytes))
        return notSaved();
    switch (compressed.outcome) {
    case CompressedPicture::Smaller:
        break;
    case CompressedPicture::NotSmaller:
        return alreadySmall();
    case CompressedPicture::NothingChosen:
        return nothingChosen();
    case CompressedPicture::NoStrength:
        return noStrength();
    case CompressedPicture::EncodingFailed:
        return notSaved();
    }
    if (!writeFileAtomically(target, compressed.bytes))
        return notSaved();
    return {u"压缩成功，图片已保存至："_s + target, ResizePicDone};
}

} // namespace zorvane
