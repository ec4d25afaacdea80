#pragma once

// The translation service's answer as the tests of the translation, of the
// "yc" panel and of zorvane-cli fake it, and as the benchmark serves it.

#include <QByteArray>
#include <QString>

namespace zorvane {

namespace TranslationPages {

using namespace Qt::StringLiterals;

// The service's whole reply, headers included: a UTF-8 page with `result`
// inside its result element.
inline QByteArray answerPage(const QString &result)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n"
           + (u"<html><body><div id=gt-res-content><span id=result_box class=\"short_text\">"_s + result
              + u"</span></div></body></html>"_s)
                 .toUtf8();
}

} // namespace TranslationPages

} // namespace zorvane
