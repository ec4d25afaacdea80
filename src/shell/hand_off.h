#pragma once

#include "settings/app_folder.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvane {

// Text handed to the running Zorvane by the desktop entry "使用Zorvane进行伪原创":
// the hand-off helper leaves it in "\html\cache.html" (GBK) and starts
// Zorvane, whose second copy only wakes the first.

// Replaces the hand-off file with text, atomically. False when it could not
// be written.
bool leaveHandOffText(const AppFolder &folder, const QString &html);

// What a wake-up of the running copy finds: the hand-off file is taken away
// whole (takeTextFile), and its text returned when it holds more than blanks
// and line breaks; otherwise nullopt, so a plain second start only brings the
// window forward.
std::optional<QString> takeActivationText(const AppFolder &folder);

// Whether a wake-up would find text: the file is read and left as it is.
bool holdsActivationText(const AppFolder &folder);

// The programs of the application folder.
enum class Program { Zorvane, Patchwell };

// The program's file in the folder ("Zorvane", "Patchwell"; with ".exe" on
// Windows).
QString programPath(const AppFolder &folder, Program program);

// Starts the program from the folder, detached, with the folder as its
// working folder. False when it could not be started.
bool startProgram(const AppFolder &folder, Program program, const QStringList &arguments = {});

} // namespace zorvane
