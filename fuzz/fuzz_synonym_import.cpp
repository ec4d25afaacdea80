// A synonym library the user imports from any file: either refused with its
// reason, or a library of the file's own non-blank lines, each holding "|".
#include "snapshot/synonym_library_file.h"
#include "text/text_file.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decodeTextFile(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const SynonymImportCheck check = checkSynonymImport(text);
    if (check.ok() == check.library.isEmpty())
        __builtin_trap();
    if (!check.ok())
        return 0;
    if (!text.contains(u"\r\n"_s)) {
        if (check.library != text)
            __builtin_trap();
        return 0;
    }
    const QStringList lines = check.library.split(u"\r\n"_s);
    qsizetype from = 0;
    for (const QString &line : lines) {
        if (!line.contains(u'|') || line.trimmed().isEmpty())
            __builtin_trap();
        // In the file's order.
        from = text.indexOf(line, from);
        if (from < 0)
            __builtin_trap();
        from += line.size();
    }
    return 0;
}
