#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace zorvane {

// A photo-like picture: a gradient with noise, so that JPEG cannot shrink it
// to nothing and the sizes compare like those of real photos.
QImage photoImage(int width, int height, quint32 seed = 7);

// The picture encoded in format ("jpeg", "png", "bmp"), at quality when it
// is 0 or more; empty when Qt cannot write it.
QByteArray encodedPicture(const QImage &image, const char *format, int quality = -1);

// A GIF of the frames (one frame: a still picture; more: an animation). Qt
// reads GIF but cannot write it.
QByteArray gifBytes(const QList<QImage> &frames);

} // namespace zorvane
