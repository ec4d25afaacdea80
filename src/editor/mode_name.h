#pragma once

#include <QString>

namespace zorvane {

// The modes of the main window by the names the system gives them: the only
// spelling of these names in the program. The guards, the status labels and
// the start-up setting all speak of a mode by one of these.
namespace ModeName {
using namespace Qt::StringLiterals;
inline const QString Format = u"format"_s; // article formatting, panel frm1
inline const QString Yc = u"yc"_s;         // pseudo-original, panel frm2
inline const QString Seo = u"seo"_s;       // site statistics, panel frm3
} // namespace ModeName

} // namespace zorvane
