#include "updater/update_list.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

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
