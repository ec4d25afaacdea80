#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zorvane {

// The whole file as text, line ends untouched; the empty string when no file
// exists at path (or it cannot be read). A file that starts with a UTF-8
// byte-order mark, or whose bytes are valid UTF-8 holding non-ASCII
// characters, is read as UTF-8; anything else as GBK, as the word libraries
// and saved articles of existing installations are written.
QString readTextFile(const QString &path);
// The same for bytes already read.
QString decodeTextFile(const QByteArray &bytes);

// Takes the file at path away whole: it is moved to a name of this process's
// own, read there and removed, so that a file written at path meanwhile is
// neither lost nor read half-written; the next take finds it. Nullopt when
// there was no file. A file that cannot be moved (its folder is read-only)
// is read where it stands and left there. The text is read as readTextFile
// reads it.
std::optional<QString> takeTextFile(const QString &path);

// Replaces the file at path with bytes, atomically: afterwards the file is
// either the old one or the complete new one. Like the Windows profile
// functions, refuses to replace a file marked read-only. False when it could
// not be written.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);

// Replaces the file at path with text in GBK, atomically: afterwards the file
// is either the old one or the complete new one. False when it could not be
// written.
bool writeGbkFile(const QString &path, const QString &text);

} // namespace zorvane
