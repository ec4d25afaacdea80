#include "settings/cls_ini.h"

#include "settings/ini_format.h"
#include "text/gbk.h"
#include "text/text_file.h"
#include "text/text_utils.h"

#include <QFile>
#include <QLockFile>

#include <functional>

using namespace Qt::StringLiterals;

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

// Zorvane, Patchwell and zorvane-cli all write this file, and a write reads
// the whole file, changes one line and writes the whole file back: two at
// once would each write back a file without the other's change. So every
// write takes its turn on a lock file beside the settings file. The lock
// names its holder: one that died frees it at once, one that hangs for
// longer than any write takes is pushed aside.
constexpr int LockStaleAfterMs = 10000;
constexpr int LockWaitMs = 15000;

enum class IfUnchanged { Write, Skip };

bool changeFile(const QString &path, const std::function<QByteArray(const QByteArray &)> &change,
                IfUnchanged ifUnchanged = IfUnchanged::Write)
{
    QLockFile turn(path + u".lock"_s);
    turn.setStaleLockTime(LockStaleAfterMs);
    if (!turn.tryLock(LockWaitMs))
        return false;
    QByteArray bytes;
    if (!readFile(path, &bytes))
        return false;
    const QByteArray changed = change(bytes);
    if (changed == bytes && ifUnchanged == IfUnchanged::Skip)
        return true;
    return writeFileAtomically(path, changed);
}

} // namespace

bool Cls_Ini::WriteIniKey(const QString &section, const QString &key, const QString &value) const
{
    return changeFile(m_fileName, [&](const QByteArray &bytes) {
        return ini::withValue(bytes, toGbk(section), toGbk(key), toGbk(value));
    });
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
    return changeFile(
        m_fileName, [&](const QByteArray &bytes) { return ini::withoutKey(bytes, toGbk(section), toGbk(key)); },
        IfUnchanged::Skip);
}

bool Cls_Ini::DelIniSec(const QString &section) const
{
    return changeFile(
        m_fileName, [&](const QByteArray &bytes) { return ini::withoutSection(bytes, toGbk(section)); },
        IfUnchanged::Skip);
}

} // namespace zorvane
