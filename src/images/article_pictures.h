#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace zorvane {

// One picture of an article, as its local copy needs it.
struct ArticlePicture
{
    QString address; // the img's source as a browser reads it: no blanks around it, no line breaks in it
    QUrl url;        // the web address to fetch; empty for a data: picture
};

// The article's pictures in article order, each address once: every img
// whose source is an http or https address, or a data: address of an image.
// Relative sources, other schemes and data: addresses of anything but an
// image are not pictures of the article.
QList<ArticlePicture> articlePictures(const QString &html);

// The bytes a "data:image/…" address carries, base64 (";base64,") or
// percent-encoded; nullopt when it is no image data address or its base64 is
// broken.
std::optional<QByteArray> dataPictureBytes(QStringView address);

// The address as a line of a list may show it: a data: address is cut after
// its header, which is all a reader can use of it.
QString listedPictureAddress(const QString &address);

} // namespace zorvane
