#include "net/http_request.h"

#include "text/gbk.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// A line break inside a single-line field would let the text that follows it
// pose as a header of its own (or end the headers early).
QString oneLine(const QString &field)
{
    if (!field.contains(u'\r') && !field.contains(u'\n'))
        return field;
    QString cleaned = field;
    cleaned.remove(u'\r');
    cleaned.remove(u'\n');
    return cleaned;
}

} // namespace

QString userAgentLine()
{
    return u"User-Agent: Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1; Trident/4.0; Mozilla/4.0 "
           "(compatible; MSIE 6.0; Windows NT 5.1; SV1) ; InfoPath.2; .NET CLR 2.0.50727; .NET CLR "
           "3.0.4506.2152; .NET CLR 3.5.30729; Maxthon 2.0)"_s;
}

// One header a line, as they go on the wire.
// clang-format off
QString buildGetRequest(const QString &path, const QString &host, const QString &cookies, const QString &referrer)
{
    return u"GET " + oneLine(path) + u"  HTTP/1.1\r\n"
        + u"Accept: */*\r\n"
        + u"Referer:" + oneLine(referrer) + u"\r\n"
        + u"Accept-Language: zh-cn\r\n"
        + userAgentLine() + u"\r\n"
        + u"Host: " + oneLine(host) + u"\r\n"
        + u"Connection: Keep-Alive\r\n"
        + u"Cache-Control: no-cache\r\n"
        + u"Cookie:" + oneLine(cookies) + u"\r\n"
        + u"\r\n";
}

QString buildPostRequest(const QString &path, const QString &host, const QString &body, const QString &cookies,
                         const QString &referrer, const QString &extraHeaders)
{
    // Bodies are percent-encoded ASCII, where characters and bytes agree; a
    // body with other characters still gets the length that goes out.
    const qsizetype length = toGbk(body).size();
    return u"POST " + oneLine(path) + u" HTTP/1.1\r\n"
        + u"Accept: */*\r\n"
        + extraHeaders
        + u"Referer: " + oneLine(referrer) + u"\r\n"
        + u"Accept-Language: zh-cn\r\n"
        + u"Content-Type: application/x-www-form-urlencoded\r\n"
        + userAgentLine() + u"\r\n"
        + u"Host: " + oneLine(host) + u"\r\n"
        + u"Content-Length: " + QString::number(length) + u"\r\n"
        + u"Connection: Keep-Alive\r\n"
        + u"Cache-Control: no-cache\r\n"
        + u"Cookie:" + oneLine(cookies) + u"\r\n"
        + u"\r\n"
        + body;
}
// clang-format on

} // namespace zorvane
