#pragma once

#include <QString>

namespace zorvane {

// The whole file as text, line ends untouched; the empty string when no file
// exists at path (or it cannot be read). A file that starts with a UTF-8
// byte-order mark, or whose bytes are valid UTF-8 holding non-ASCII
// characters, is read as UTF-8; anything else as GBK, as the word libraries
// and saved articles of existing installations are written.
QString readTextFile(const QString &path);

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
