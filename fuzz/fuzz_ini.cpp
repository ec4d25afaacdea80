// The settings reader and writer on arbitrary file bytes.
#include "settings/ini_format.h"

#include <cstddef>
#include <cstdint>

using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QByteArrayView sections[] = {"Format", "format", "", "[x]"};
    static const QByteArrayView keys[] = {"Sign", "SIGN", "", "=", "a b"};
    for (QByteArrayView section : sections) {
        for (QByteArrayView key : keys) {
            bool found = false;
            ini::value(file, section, key, &found);
            // A value written is read back exactly, wherever it landed.
            const QByteArray written = ini::withValue(file, section, key, "v=1 \xD6\xD0");
            bool foundAfter = false;
            const QByteArray back = ini::value(written, section, key, &foundAfter);
            if (!section.isEmpty() && !key.isEmpty() && !key.contains('=') && !section.contains(']')
                && (!foundAfter || back != "v=1 \xD6\xD0"))
                __builtin_trap();
            ini::withoutKey(file, section, key);
        }
        ini::withoutSection(file, section);
    }
    return 0;
}
