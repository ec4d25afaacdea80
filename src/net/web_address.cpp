#include "net/web_address.h"

namespace zorvane {

QUrl webAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return {};
    return url;
}

} // namespace zorvane
