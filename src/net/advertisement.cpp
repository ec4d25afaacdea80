#include "net/advertisement.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool isBareFileName(const QString &name)
{
    bool onlyDots = true;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
                             || u == u'.' || u == u'_' || u == u'-';
        if (!allowed)
            return false;
        onlyDots = onlyDots && u == u'.';
    }
    return !name.isEmpty() && !onlyDots;
}

} // namespace

std::optional<Advertisement> parseAdvertisement(const QString &reply)
{
    if (reply.isEmpty())
        return std::nullopt;
    const qsizetype bar = reply.indexOf(u'|');
    if (bar < 0)
        return Advertisement{reply, QString()};
    const QStringView rest = QStringView(reply).sliced(bar + 1);
    const qsizetype second = rest.indexOf(u'|');
    return Advertisement{reply.first(bar), (second < 0 ? rest : rest.first(second)).toString()};
}

QString advertisementPicturePath(const AppFolder &folder, const QString &picture)
{
    if (!isBareFileName(picture))
        return {};
    const QString path = folder.path(u"\\html\\") + picture;
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() ? path : QString();
}

} // namespace zorvane
