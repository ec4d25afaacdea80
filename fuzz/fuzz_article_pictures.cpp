// The pictures of a pasted article: the img sources found, and the data:
// addresses decoded, over any markup.
#include "images/article_pictures.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QSet<QString> addresses;
    for (const ArticlePicture &picture : articlePictures(html)) {
        // Each address once.
        if (addresses.contains(picture.address))
            __builtin_trap();
        addresses.insert(picture.address);
        if (picture.url.isEmpty()) {
            const std::optional<QByteArray> bytes = dataPictureBytes(picture.address);
            // Decoding never makes more bytes than the address has characters.
            if (bytes && bytes->size() > picture.address.size())
                __builtin_trap();
        }
        (void)listedPictureAddress(picture.address);
    }
    return 0;
}
