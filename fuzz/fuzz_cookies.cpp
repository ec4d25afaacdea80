// The cookie merge on server responses and the count cleaner on page text:
// the input splits into a response, a current cookie string and a count.
#include "net/cookie_jar.h"
#include "net/count_text.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList parts = input.split(QChar(u'\x01'));
    const QString response = parts.value(0);
    const QString cookies = parts.value(1);

    const std::optional<QString> merged = mergeCookies(response, cookies);
    if (!response.contains(u"Set-Cookie:"_s) && merged != cookies)
        __builtin_trap();
    // Only the jar form can fail.
    if (!merged && cookies.isEmpty())
        __builtin_trap();
    if (merged && !cookies.isEmpty() && response.contains(u"Set-Cookie:"_s)) {
        // What the jar form writes reads back as a jar of as many records.
        const qsizetype written = merged->count(u';');
        if (!merged->isEmpty() && parseCookieString(*merged).size() > written)
            __builtin_trap();
    }
    parseCookieString(cookies);

    const QString count = cleanCountText(parts.value(2, response));
    for (const char16_t gone : {u'\r', u'\n', u'?', u'约', u'涓', u'浜'}) {
        if (count.contains(QChar(gone)))
            __builtin_trap();
    }
    if (count.startsWith(u' ') || count.endsWith(u' '))
        __builtin_trap();
    return 0;
}
