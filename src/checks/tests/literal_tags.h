#pragma once

// The literal the title search's receive buffer is held to, for its tests and
// its fuzz target: every match of the pattern "<.+?>" over the whole text,
// lowered where it stands.

#include "text/system_regex.h"

#include <QString>

namespace zorvane {

inline QString lowerTagsWhereTheyStand(const QString &text)
{
    using namespace Qt::StringLiterals;
    QString out;
    qsizetype last = 0;
    auto matches = SystemRegex(u"<.+?\\>"_s).regex().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QString tag = match.captured(0);
        const qsizetype blank = tag.indexOf(u' ');
        out += QStringView(text).mid(last, match.capturedStart(0) - last);
        out += blank < 0 ? tag.toLower() : tag.left(blank + 1).toLower() + QStringView(tag).mid(blank + 1);
        last = match.capturedEnd(0);
    }
    return out + QStringView(text).mid(last);
}

} // namespace zorvane
