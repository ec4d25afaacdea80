#pragma once

#include <QString>

namespace zorvane {

// Request texts for the exchanges the programs write themselves on a TCP
// connection. Lines end with "\r\n"; the text goes out as GBK bytes.
//
// The two builders differ on the wire on purpose: GET has two blanks before
// "HTTP/1.1" and "Referer:" glued to its value, POST one blank in both places.
// Servers have seen these exact bytes for years; keep them.

// The User-Agent header line both builders send, without its line end.
QString userAgentLine();

QString buildGetRequest(const QString &path, const QString &host, const QString &cookies, const QString &referrer);

// `extraHeaders` goes in unchanged after "Accept: */*" and must bring its own
// line ends. Content-Length counts the body's GBK bytes.
QString buildPostRequest(const QString &path, const QString &host, const QString &body, const QString &cookies,
                         const QString &referrer, const QString &extraHeaders = QString());

} // namespace zorvane
