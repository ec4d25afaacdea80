#include "net/cookie_jar.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString setCookie = u"Set-Cookie:"_s;

// The header lines of a response: everything before its first empty line,
// or all of it when none has arrived.
QStringView headerBlock(const QString &response)
{
    // The first line end followed by an empty line, CR LF or bare LF.
    for (qsizetype at = response.indexOf(u'\n'); at >= 0; at = response.indexOf(u'\n', at + 1)) {
        if (at + 1 < response.size() && response[at + 1] == u'\n')
            return QStringView(response).first(at + 1);
        if (at + 2 < response.size() && response[at + 1] == u'\r' && response[at + 2] == u'\n')
            return QStringView(response).first(at);
    }
    return response;
}

void removeAttribute(QString &cookie, const QRegularExpression &attribute)
{
    cookie.remove(attribute);
}

// The text of one "Set-Cookie:" line stripped to "name=value;" as servers
// send it; the line's own attributes go.
QString cleanSetCookie(const QString &line)
{
    static const QRegularExpression path(u"path=[^\\f]*?;"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression domain(u"domain=[^\\f]*?;"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression expires(u"expires=[^\\f]*?;"_s, QRegularExpression::CaseInsensitiveOption);
    QString cookie = line + u';';
    removeAttribute(cookie, path);
    removeAttribute(cookie, domain);
    removeAttribute(cookie, expires);
    // Only these two spellings: "HttpOnly" stays glued to the value, which
    // the forum has always received that way.
    cookie.remove(u"Httponly"_s);
    cookie.remove(u"httponly"_s);
    cookie.remove(u' ');
    cookie.replace(u";;"_s, u";"_s);
    cookie.remove(u"\r\n"_s);
    return cookie;
}

CookieRecord splitPair(QStringView part)
{
    const qsizetype firstEquals = part.indexOf(u'=');
    if (firstEquals < 0)
        return {QString(), part.toString()};
    const qsizetype secondEquals = part.indexOf(u'=', firstEquals + 1);
    const QStringView value =
        secondEquals < 0 ? part.mid(firstEquals + 1) : part.mid(firstEquals + 1, secondEquals - firstEquals - 1);
    return {part.left(firstEquals).toString(), value.toString()};
}

} // namespace

CookieJar parseCookieString(const QString &cookies)
{
    QString text = cookies;
    text.replace(u";;"_s, u";"_s);
    text.remove(u' ');
    if (text.endsWith(u';'))
        text.chop(1);
    CookieJar jar;
    if (text.isEmpty())
        return jar;
    for (const QStringView part : QStringView(text).split(u';'))
        jar.append(splitPair(part));
    return jar;
}

std::optional<QString> mergeCookies(const QString &response, const QString &cookies)
{
    const bool jarMode = !cookies.isEmpty();
    // Only the header block says what to store; a page's text never does.
    const QStringView header = headerBlock(response);
    if (!header.contains(setCookie))
        return cookies;
    CookieJar jar = jarMode ? parseCookieString(cookies) : CookieJar();

    QString merged;
    int taken = 0;
    qsizetype lineEnd = -1; // the end of the line of the last header looked at
    for (qsizetype at = header.indexOf(setCookie); at >= 0 && taken < MaxCookies;
         at = header.indexOf(setCookie, at + setCookie.size())) {
        const qsizetype valueAt = at + setCookie.size();
        // Headers on one line share its end: it is searched for once.
        if (lineEnd < valueAt) {
            lineEnd = valueAt;
            while (lineEnd < header.size() && header[lineEnd] != u'\r' && header[lineEnd] != u'\n')
                ++lineEnd;
        }
        // A header cut off before its line end gives an empty value, as it
        // always has.
        const bool ended = lineEnd < header.size() || header.size() < response.size();
        if (lineEnd - valueAt > MaxCookieLength)
            continue;
        ++taken;
        QString cookie = cleanSetCookie(ended ? header.sliced(valueAt, lineEnd - valueAt).toString() : QString());

        if (jarMode) {
            cookie.remove(u';');
            if (!cookie.contains(u'='))
                return std::nullopt;
            const CookieRecord record = splitPair(cookie);
            auto known = std::find_if(jar.begin(), jar.end(),
                                      [&](const CookieRecord &entry) { return entry.name == record.name; });
            if (known == jar.end()) {
                if (jar.size() < MaxCookies)
                    jar.append(record);
            } else if (known->name != u"Ddx_sid") {
                known->value = record.value;
            }
        } else if (!cookie.contains(u"deleted"_s)) {
            merged += cookie;
        }
    }

    if (jarMode) {
        for (const CookieRecord &record : std::as_const(jar)) {
            if (record.value == u"deleted")
                continue;
            if (record.name.isEmpty())
                merged += u' ' + record.value + u';';
            else
                merged += u' ' + record.name + u'=' + record.value + u';';
        }
    }
    merged.replace(u";;"_s, u";"_s);
    merged.remove(u"\r\n"_s);
    return merged;
}

} // namespace zorvane
