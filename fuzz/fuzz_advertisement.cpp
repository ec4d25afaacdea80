// The advertisement reply as the service server may send it: the picture it
// names is shown only from the application folder's html/, and the link is
// opened only as a web address.
#include "net/advertisement.h"
#include "net/web_address.h"
#include "text/gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// An application folder with a picture, a folder and a link in html/, and a
// file beside html/ that no name may reach.
const AppFolder &folder()
{
    static QTemporaryDir dir;
    static const AppFolder app = [] {
        const AppFolder made(dir.path());
        QDir().mkpath(made.path(u"\\html\\pictures"));
        QDir().mkpath(made.path(u"\\setting"));
        for (const QString &file : {u"\\html\\ad.png"_s, u"\\setting\\config.ini"_s}) {
            QFile f(made.path(file));
            f.open(QIODevice::WriteOnly);
            f.write("x");
        }
        QFile::link(made.path(u"\\setting\\config.ini"), made.path(u"\\html\\link.png"));
        return made;
    }();
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = fromGbk(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const std::optional<Advertisement> ad = parseAdvertisement(reply);
    if (ad.has_value() == reply.isEmpty())
        __builtin_trap();
    if (!ad)
        return 0;
    if (ad->picture.contains(u'|') || ad->link.contains(u'|'))
        __builtin_trap();
    const QString path = advertisementPicturePath(folder(), ad->picture);
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        if (!info.isFile() || info.isSymLink()
            || info.absolutePath() != QFileInfo(folder().path(u"\\html\\ad.png")).absolutePath())
            __builtin_trap();
    }
    const QUrl link = webAddress(QUrl::fromUserInput(ad->link));
    if (link.isValid() && link.scheme() != u"http" && link.scheme() != u"https")
        __builtin_trap();
    return 0;
}
