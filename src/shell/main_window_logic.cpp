#include "shell/main_window_logic.h"

#include "editor/mode_name.h"
#include "net/service_client.h"

using namespace Qt::StringLiterals;

namespace zorvane {

QString startMode(const QString &formSetting, bool startedWithText, bool seoOffered)
{
    if (startedWithText)
        return ModeName::Yc;
    const QString value = formSetting.trimmed();
    if (value == u"2")
        return ModeName::Yc;
    if (value == u"3" && seoOffered)
        return ModeName::Seo;
    return ModeName::Format;
}

StartContent::FetchText defaultTextFetch(ServiceClient *service, QObject *context)
{
    if (!service)
        return {};
    return [service, context](const QString &mode, std::function<void(const QString &)> done) {
        service->fetchText(mode == ModeName::Yc ? ServicePath::ycDefault() : ServicePath::formatDefault(), context,
                           std::move(done));
    };
}

QString versionCaption(const QString &version, const QString &typoGroups, const QString &synonymGroups)
{
    return u"版本:"_s + version + u"　"_s + u"错别字库:"_s + typoGroups + u"组　"_s + u"同义词库:"_s + synonymGroups
           + u"组"_s;
}

int nextNoticeIndex(int current, int count)
{
    const int next = current + 1;
    return next > count - 1 ? 0 : next;
}

} // namespace zorvane
