#pragma once

#include <QString>

namespace zorvane {

// One service notice: its text and the page it links to (may be empty).
struct Notice
{
    QString text;
    QString link;
};

} // namespace zorvane
