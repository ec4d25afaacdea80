#include "net/net_log.h"

namespace zorvane {

Q_LOGGING_CATEGORY(lcNet, "zorvane.net", QtWarningMsg)

void logOversizedReply(const QString &from, qint64 received, std::optional<qint64> announced, qint64 bound)
{
    if (announced && *announced > bound)
        qCWarning(lcNet, "%s: a reply of %lld bytes announced, over its bound of %lld; read as a failed fetch",
                  qPrintable(from), *announced, bound);
    else
        qCWarning(lcNet, "%s: a reply of at least %lld bytes, over its bound of %lld; read as a failed fetch",
                  qPrintable(from), received, bound);
}

} // namespace zorvane
