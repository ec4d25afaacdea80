#pragma once

#include <QString>

namespace zorvane {

// A control with its name as objectName, the way tests and findChild know it:
// auto *cmdOneKey = named(new QPushButton(caption, panel), u"cmdOneKey"_s);
template <typename Control>
Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

} // namespace zorvane
