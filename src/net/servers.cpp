#include "net/servers.h"

namespace zorvane {

namespace {

QString builtInDefault(const ConfigKey &key)
{
    struct Default
    {
        ConfigKey key;
        QStringView value;
    };
    // The maker's own servers live under its domain; the public services are
    // the hosts their request paths were written for.
    static constexpr Default defaults[] = {
        {Cfg::Servers::Forum, u"bbs.zorvane.net"},
        {Cfg::Servers::Avatar, u"face.zorvane.net"},
        {Cfg::Servers::Service, u"service.zorvane.net"},
        {Cfg::Servers::Relay, u"relay.zorvane.net"},
        {Cfg::Servers::Translate, u"translate.google.cn"},
        {Cfg::Servers::TranslateAddress, u"translate.google.cn"},
        {Cfg::Servers::TranslateCookie, u""},
        {Cfg::Servers::News, u"news.baidu.com"},
        {Cfg::Servers::Alexa, u"www.alexa.com"},
        {Cfg::Servers::PageRank, u"pr.chinaz.com"},
        {Cfg::Servers::Baidu, u"www.baidu.com"},
        {Cfg::Servers::Google, u"www.google.com.hk"},
        {Cfg::Servers::Bing, u"cn.bing.com"},
        {Cfg::Servers::Soso, u"www.soso.com"},
        {Cfg::Servers::Sogou, u"www.sogou.com"},
        {Cfg::Servers::LinkStats, u"link.chinaz.com"},
        {Cfg::Servers::Site, u"www.zorvane.net"},
    };
    for (const Default &entry : defaults) {
        if (key == entry.key)
            return entry.value.toString();
    }
    return {};
}

} // namespace

QString ServerAddress::authority() const
{
    return port == 80 ? host : host + u':' + QString::number(port);
}

QString ServerAddress::url(const QString &path) const
{
    return u"http://" + authority() + path;
}

ServerAddress parseServerAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(u':');
    if (colon < 0)
        return {trimmed, 80};
    bool ok = false;
    const uint port = QStringView(trimmed).mid(colon + 1).trimmed().toUInt(&ok);
    ServerAddress address{trimmed.left(colon).trimmed(), 80};
    if (ok && port > 0 && port <= 65535)
        address.port = quint16(port);
    return address;
}

QString serverSetting(const ConfigKey &key)
{
    const QString configured = configText(key).trimmed();
    return configured.isEmpty() ? builtInDefault(key) : configured;
}

ServerAddress serverAddress(const ConfigKey &key)
{
    return parseServerAddress(serverSetting(key));
}

std::chrono::milliseconds serverTimeout()
{
    const int seconds = configInt(Cfg::Servers::Timeout);
    // A day at most keeps the figure within what a timer can hold.
    return std::chrono::seconds(seconds > 0 ? qMin(seconds, 86400) : 30);
}

} // namespace zorvane
