#pragma once

#include <QByteArray>
#include <QString>

namespace zorvane {

// One INI file, read and written the way the Windows profile functions do:
// every call goes to the file, nothing is cached. Reads of anything missing
// give the empty string; values come back trimmed, without enclosing double
// quotes, and cut to 1023 bytes of GBK. Writes replace the file atomically,
// one at a time across every program that writes it (a lock file beside it,
// "config.ini.lock"): a write never loses another's.
class Cls_Ini
{
public:
    Cls_Ini() = default;
    explicit Cls_Ini(const QString &fileName) : m_fileName(fileName) {}

    QString INIFileName() const { return m_fileName; }
    void setINIFileName(const QString &fileName) { m_fileName = fileName; }

    // False when the file could not be written (missing folder, read-only).
    bool WriteIniKey(const QString &section, const QString &key, const QString &value) const;
    QString GetIniKey(const QString &section, const QString &key) const;
    bool DelIniKey(const QString &section, const QString &key) const;
    bool DelIniSec(const QString &section) const;

    // What GetIniKey reads from a file holding these bytes.
    static QString valueIn(const QByteArray &file, const QString &section, const QString &key);

    // The longest value a read returns, in bytes of the file's code page.
    static constexpr int MaxValueBytes = 1023;

private:
    QString m_fileName;
};

} // namespace zorvane
