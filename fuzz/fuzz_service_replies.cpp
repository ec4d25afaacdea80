// The service server's update and notice replies: parsed as a start parses
// them, with the properties the shell relies on checked.
#include "net/service_checks.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::optional<QString> argument = updaterArgument(reply);
    if (argument.has_value() != (reply.count(u'|') >= 2))
        __builtin_trap();
    if (argument && argument->count(u'|') != 2)
        __builtin_trap();

    const QList<Notice> notices = parseNotices(reply);
    const QStringList shownLines = reply.split(u"<br>"_s).mid(0, MaxNotices);
    if (notices.isEmpty() && !reply.isEmpty() && shownLines.join(QString()).size() > 0)
        __builtin_trap();
    // Never more entries than lines, nor than are shown, and no entry holds a
    // line separator.
    if (notices.size() > reply.count(u"<br>"_s) + 1 || notices.size() > MaxNotices)
        __builtin_trap();
    for (const Notice &notice : notices) {
        if (notice.text.contains(u'|') || notice.link.contains(u'|') || notice.text.contains(u"<br>"_s))
            __builtin_trap();
    }
    return 0;
}
