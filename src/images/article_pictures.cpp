#include "images/article_pictures.h"

#include "format/scratch_document.h"
#include "net/web_address.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool isDataAddress(QStringView address)
{
    return address.startsWith(u"data:", Qt::CaseInsensitive);
}

// The media type and parameters of a data: address, and where its data begins.
struct DataHeader
{
    QStringView type;
    bool base64 = false;
    qsizetype dataStart = -1;
};

std::optional<DataHeader> dataHeader(QStringView address)
{
    if (!isDataAddress(address))
        return std::nullopt;
    const qsizetype comma = address.indexOf(u',');
    if (comma < 0)
        return std::nullopt;
    const QStringView header = address.sliced(5, comma - 5);
    DataHeader parsed;
    parsed.dataStart = comma + 1;
    parsed.type = header.left(header.indexOf(u';')).trimmed();
    const qsizetype lastParameter = header.lastIndexOf(u';');
    parsed.base64 =
        lastParameter >= 0 && header.sliced(lastParameter + 1).trimmed().compare(u"base64", Qt::CaseInsensitive) == 0;
    return parsed;
}

} // namespace

std::optional<QByteArray> dataPictureBytes(QStringView address)
{
    const std::optional<DataHeader> header = dataHeader(address);
    if (!header || !header->type.startsWith(u"image/", Qt::CaseInsensitive))
        return std::nullopt;
    QByteArray data = QByteArray::fromPercentEncoding(address.sliced(header->dataStart).toLatin1());
    if (!header->base64)
        return data;
    // Browsers read base64 forgivingly: blanks and line breaks inside it are
    // common in pasted markup.
    data.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; });
    QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(std::move(data), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return std::move(decoded.decoded);
}

QList<ArticlePicture> articlePictures(const QString &html)
{
    ScratchDocument document;
    document.load(html);
    QList<ArticlePicture> pictures;
    QSet<QString> seen;
    for (const ScratchDocument::ImageInfo &image : document.images()) {
        // As a browser reads an address: without the blanks around it, and
        // without tabs and line breaks inside it (which would also break the
        // lines of list.txt).
        QString address = image.src.trimmed();
        address.removeIf([](QChar c) { return c == u'\t' || c == u'\n' || c == u'\r'; });
        ArticlePicture picture{address, {}};
        QString key;
        if (isDataAddress(address)) {
            const std::optional<DataHeader> header = dataHeader(address);
            if (!header || !header->type.startsWith(u"image/", Qt::CaseInsensitive))
                continue;
            key = address;
        } else {
            picture.url = webAddress(QUrl(address));
            if (picture.url.isEmpty())
                continue;
            // The fragment never reaches the server: a.jpg#1 and a.jpg#2 are one picture.
            picture.url = picture.url.adjusted(QUrl::RemoveFragment);
            key = picture.url.toString(QUrl::FullyEncoded);
        }
        if (seen.contains(key))
            continue;
        seen.insert(key);
        pictures.append(picture);
    }
    return pictures;
}

QString listedPictureAddress(const QString &address)
{
    if (!isDataAddress(address))
        return address;
    const qsizetype comma = address.indexOf(u',');
    return (comma < 0 ? address.left(40) : address.left(comma + 1)) + u"…"_s;
}

} // namespace zorvane
