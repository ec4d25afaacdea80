#pragma once

#include <QStringList>

class QWidget;

namespace zorvane {

// Each control of a window carries its own name, so that findChild finds
// the one control the name stands for. The names more than one object under
// root carries, each once and sorted; empty when every name is unique.
//
// Another window parented to root (a dialog) is not looked into: its
// controls are that window's own. Names Qt gives its internal objects
// ("qt_…") are not controls. The names in controlArrays are control arrays
// of the system, whose members share one name by design.
QStringList duplicatedObjectNames(const QWidget *root, const QStringList &controlArrays = {});

} // namespace zorvane
