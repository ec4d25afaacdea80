#include "net/update_list.h"

#include "settings/app_folder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool isDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QStringView withoutLeadingZeros(QStringView digits)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    return digits;
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

bool isSafePackageName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u".."_s)
           && !hasControlCharacter(name);
}

QString packageRequestPath(const QString &listedPath)
{
    return listedPath.startsWith(u'/') ? listedPath : u'/' + listedPath;
}

bool isNewerStamp(const QString &stamp, const QString &installed)
{
    if (installed.isEmpty())
        return true;
    if (isDigits(stamp) && isDigits(installed)) {
        // Numbers of any length, so "100" follows "99" and a stamp of twenty
        // digits does not overflow.
        const QStringView a = withoutLeadingZeros(stamp);
        const QStringView b = withoutLeadingZeros(installed);
        if (a.size() != b.size())
            return a.size() > b.size();
        return a.compare(b) > 0;
    }
    return stamp.toUtf8() > installed.toUtf8();
}

QList<UpdatePackage> pendingPackages(const QList<UpdatePackage> &packages, const QString &installed)
{
    QList<UpdatePackage> pending;
    QString latest = installed;
    for (const UpdatePackage &package : packages) {
        if (!isNewerStamp(package.stamp, latest))
            continue;
        pending.append(package);
        latest = package.stamp;
    }
    return pending;
}

QString updateKeyFile()
{
    return AppFolder::current().path(u"\\setting\\update.pub");
}

UpdateList parseUpdateList(const QString &reply)
{
    UpdateList list;
    if (!reply.contains(u"<br>"_s) && !reply.contains(u'|'))
        return list;
    const QStringList lines = reply.split(u"<br>"_s);
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'|');
        if (fields.size() < 3) {
            ++list.skippedLines;
            continue;
        }
        const UpdatePackage package{fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed()};
        // A blank inside the path would end the request line early.
        if (!isSafePackageName(package.name) || hasControlCharacter(package.stamp) || hasControlCharacter(package.path)
            || package.path.isEmpty() || package.path.contains(u' ')) {
            list.refused.append(line);
            continue;
        }
        list.packages.append(package);
    }
    return list;
}

} // namespace zorvane
