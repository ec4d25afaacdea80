#include "settings/cls_ini.h"

#include "settings/ini_format.h"
#include "text/gbk.h"
#include "text/text_file.h"
#include "text/text_utils.h"

#include <QFile>

namespace zorvane {

namespace {

// Every setting read goes through here, so it asks the file system as
// little as it can: open first, and only look whether the file exists when
// that fails.
bool readFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        bytes->clear();
        return !QFile::exists(path);
    }
    *bytes = file.readAll();
    return true;
}

// Length of the longest prefix of at most max bytes that ends on a character
// boundary of GBK / GB18030 text.
qsizetype characterBoundary(const QByteArray &bytes, qsizetype max)
{
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const quint8 b = quint8(bytes.at(pos));
        qsizetype len = 1;
        if (b >= 0x81 && b <= 0xFE && pos + 1 < bytes.size()) {
            const quint8 second = quint8(bytes.at(pos + 1));
            len = (second >= 0x30 && second <= 0x39) ? 4 : 2;
        }
        if (pos + len > max)
            break;
        pos += len;
    }
    return qMin(pos, bytes.size());
}

} // namespace

bool Cls_Ini::WriteIniKey(const QString &section, const QString &key, const QString &value) const
{
    QByteArray bytes;
    if (!readFile(m_fileName, &bytes))
        return false;
    return writeFileAtomically(m_fileName, ini::withValue(bytes, toGbk(section), toGbk(key), toGbk(value)));
}

QString Cls_Ini::GetIniKey(const QString &section, const QString &key) const
{
    QByteArray bytes;
    if (!readFile(m_fileName, &bytes))
        return {};
    return valueIn(bytes, section, key);
}

QString Cls_Ini::valueIn(const QByteArray &file, const QString &section, const QString &key)
{
    if (file.isEmpty())
        return {};
    QByteArray raw = ini::value(file, toGbk(section), toGbk(key));
    if (raw.size() > MaxValueBytes)
        raw.truncate(characterBoundary(raw, MaxValueBytes));
    QString value = trimBlanks(fromGbk(raw)).toString();
    value.remove(QChar(u'\0'));
    return value;
}

bool Cls_Ini::DelIniKey(const QString &section, const QString &key) const
{
    QByteArray bytes;
    if (!readFile(m_fileName, &bytes))
        return false;
    const QByteArray changed = ini::withoutKey(bytes, toGbk(section), toGbk(key));
    return changed == bytes || writeFileAtomically(m_fileName, changed);
}

bool Cls_Ini::DelIniSec(const QString &section) const
{
    QByteArray bytes;
    if (!readFile(m_fileName, &bytes))
        return false;
    const QByteArray changed = ini::withoutSection(bytes, toGbk(section));
    return changed == bytes || writeFileAtomically(m_fileName, changed);
}

} // namespace zorvane
