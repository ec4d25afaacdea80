// The saved login file, read from any bytes: the reader never fails, and
// what it gives is written back so that it reads the same again (a field
// that grows past the count's reach when written comes back cut short, a
// whole character at a time).
#include "net/user_record.h"
#include "text/gbk.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const UserRecord record = parseUserRecord(QByteArrayView(data, qsizetype(size)));
    const QByteArray written = serializeUserRecord(record);
    const UserRecord back = parseUserRecord(written);
    const QString *before[] = {&record.userName, &record.password, &record.cookies, &record.avatarUrl,
                               &record.group,    &record.points,   &record.coins};
    const QString *after[] = {&back.userName, &back.password, &back.cookies, &back.avatarUrl,
                              &back.group,    &back.points,   &back.coins};
    for (int i = 0; i < 7; ++i) {
        if (before[i]->left(after[i]->size()) != *after[i] || toGbk(*after[i]).size() > UserFileFieldLimit)
            __builtin_trap();
        if (toGbk(*before[i]).size() <= UserFileFieldLimit && *before[i] != *after[i])
            __builtin_trap();
    }
    if (serializeUserRecord(back) != written)
        __builtin_trap();
    return 0;
}
