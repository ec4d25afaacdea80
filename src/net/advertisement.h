#pragma once

#include "settings/app_folder.h"

#include <QString>

#include <optional>

namespace zorvane {

// The advertisement reply of the service server: a picture name, optionally
// "|" and a link.
struct Advertisement
{
    QString picture;
    QString link;
};
std::optional<Advertisement> parseAdvertisement(const QString &reply);

// The file in "\html\" that the advertisement's picture names, or empty: the
// name comes from the server, so it must be a bare file name (letters,
// digits, ".", "_" and "-", and not only dots) of a regular file there, never
// a path leading elsewhere or a link to another file.
QString advertisementPicturePath(const AppFolder &folder, const QString &picture);

} // namespace zorvane
