#include "testsupport/test_pictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>

namespace zorvane {

QImage photoImage(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = int(random.bounded(64));
            line[x] = qRgb((x * 255 / width + n) % 256, (y * 255 / height + n) % 256, (x + y + n) % 256);
        }
    }
    return image;
}

QByteArray encodedPicture(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

QByteArray gifBytes(const QList<QImage> &frames)
{
    auto le16 = [](QByteArray &out, int v) { out.append(char(v & 0xFF)).append(char(v >> 8)); };
    const QSize size = frames.isEmpty() ? QSize() : frames.first().size();
    QByteArray out("GIF89a");
    le16(out, size.width());
    le16(out, size.height());
    out.append("\0\0\0", 3); // no global colour table: each frame brings its own

    for (const QImage &frame : frames) {
        const QImage image = frame.convertToFormat(QImage::Format_Indexed8);
        out.append(",\0\0\0\0", 5);
        le16(out, image.width());
        le16(out, image.height());
        out.append('\x87'); // a local colour table of 256 entries
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < image.colorCount() ? image.color(i) : 0;
            out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        }
        out.append('\x08');

        // LZW without compression: a clear code before the code width would
        // grow keeps every code a plain 9-bit index.
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << count;
            for (count += 9; count >= 8; count -= 8, bits >>= 8)
                data.append(char(bits & 0xFF));
        };
        int sinceClear = 250;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (sinceClear++ == 250) {
                    put(256);
                    sinceClear = 1;
                }
                put(image.pixelIndex(x, y));
            }
        }
        put(257);
        if (count > 0)
            data.append(char(bits & 0xFF));
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size())).append(block);
        }
        out.append('\0');
    }
    return out.append(';');
}

} // namespace zorvane
