// A setting read from any file: a value longer than 1023 bytes is cut on a
// character boundary of the code page, so what is read is always the start
// of the whole value, never half a character.
#include "settings/cls_ini.h"
#include "settings/ini_format.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(u"config.ini"_s);
    const QByteArray value(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray file = "[A]\r\nk=" + value + "\r\n[B]\r\nx=1\r\n";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        return 0;
    out.close();

    const QString read = Cls_Ini(path).GetIniKey(u"A"_s, u"k"_s);
    const QByteArray whole = ini::value(file, "A", "k");
    // Only text the code page reads back as it is: other bytes decode to
    // replacement characters whatever the cut.
    if (toGbk(fromGbk(whole)) != whole)
        return 0;
    QString full = trimBlanks(fromGbk(whole)).toString();
    full.remove(QChar(u'\0'));
    if (!full.startsWith(read))
        __builtin_trap();
    if (toGbk(read).size() > Cls_Ini::MaxValueBytes)
        __builtin_trap();
    return 0;
}
