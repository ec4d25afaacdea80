#include "testsupport/temp_app_folder.h"

#include "text/gbk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QString target = to + u'/' + source.relativeFilePath(entry);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(entry, target)) {
            return false;
        }
    }
    return true;
}

} // namespace

TempAppFolder::TempAppFolder() : m_folder(m_dir.path()), m_previous(AppFolder::current())
{
    m_valid = m_dir.isValid() && copyTree(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE), m_dir.path());
    // Copies of read-only template files must stay writable for the test.
    QDirIterator it(m_dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    AppFolder::setCurrent(m_folder);
}

TempAppFolder::~TempAppFolder()
{
    AppFolder::setCurrent(m_previous);
}

bool TempAppFolder::writeFile(QStringView systemPath, const QByteArray &bytes) const
{
    const QString target = path(systemPath);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray TempAppFolder::readFile(QStringView systemPath) const
{
    QFile file(path(systemPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempAppFolder::writeSettings(const QString &text) const
{
    QString crlf = text;
    crlf.replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s);
    return writeFile(u"\\setting\\config.ini", toGbk(crlf));
}

} // namespace zorvane
