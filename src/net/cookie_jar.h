#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace zorvane {

// Cookies between the requests of a dialogue with a server. A cookie string is
// what follows "Cookie:" in a request, in one of two forms: compact
// "a=1;b=2;" or jar " a=1; b=2;".

struct CookieRecord
{
    QString name;
    QString value;

    friend bool operator==(const CookieRecord &, const CookieRecord &) = default;
};

// Ordered: new names are appended, known names keep their place.
using CookieJar = QList<CookieRecord>;

// A part without "=" gives a record with an empty name and the part as value;
// anything after a second "=" in a part is dropped. Blanks are ignored.
CookieJar parseCookieString(const QString &cookies);

// How many cookies a response may set, and how long each may be: what
// browsers keep for a site. Headers past these are ignored.
inline constexpr int MaxCookies = 50;
inline constexpr qsizetype MaxCookieLength = 4096;

// Folds the "Set-Cookie:" headers of a response into the cookie string. Only
// the header block counts (up to the first empty line); a value ends at its
// line end. At most MaxCookies headers of up to MaxCookieLength characters
// are read, and a jar never grows past MaxCookies records.
//  - No current string: the compact form of the response's cookies, leaving
//    out every one that says "deleted".
//  - A current string: its jar updated in place (a known "Ddx_sid" keeps its
//    value), written in jar form without the records whose value is
//    "deleted".
// Path, domain and expiry attributes are dropped. Without any "Set-Cookie:"
// the current string comes back unchanged. Nothing (std::nullopt) when, in
// jar form, a header's cookie has no "=": the caller keeps the string it had.
std::optional<QString> mergeCookies(const QString &response, const QString &cookies);

} // namespace zorvane
