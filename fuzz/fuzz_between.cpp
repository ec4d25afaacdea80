// Between on response text: the input splits into text and two markers.
#include "text/between.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList parts = input.split(QChar(u'\x01'));
    const QString text = parts.value(0);
    const QString start = parts.value(1);
    const QString end = parts.value(2);
    const QString between = Between(text, start, end);
    // What Between returns always lies right after the first start marker.
    if (!between.isEmpty()) {
        const qsizetype at = text.indexOf(start);
        if (at < 0 || QStringView(text).mid(at + start.size(), between.size()) != between)
            __builtin_trap();
        if (between.contains(end) && !end.isEmpty())
            __builtin_trap();
    }
    return 0;
}
