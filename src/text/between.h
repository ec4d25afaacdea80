#pragma once

#include <QString>

namespace zorvane {

// The text after the first occurrence of `start` up to the first occurrence of
// `end` after it. Empty when either marker occurs nowhere in the text (both are
// searched from the first character, case-sensitively), when the only `end`
// lies before `start`, or when nothing lies between them.
QString Between(const QString &text, const QString &start, const QString &end);

} // namespace zorvane
