#pragma once

#include <QString>

namespace zorvane {

// A result count read from a search page, made presentable: "0" for nothing,
// line breaks, "?" and "约" removed, blanks trimmed. UTF-8 pages read as GBK
// turn "万" and "亿" into "涓?" and "浜?"; those come back as they were.
QString cleanCountText(const QString &text);

} // namespace zorvane
