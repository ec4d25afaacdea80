#include "net/servers.h"

namespace {

QString builtInDefault(const ConfigKey &key)
{
    struct Default
    {
        const char16_t *key;
        const char16_t *value;
    };
    // The maker's own servers live under its domain; the public services are
    // the hosts their request paths were written for.
    static constexpr Default defaults[] = {
        {u"Forum", u"bbs.zorvane.net"},
        {u"Avatar", u"face.zorvane.net"},
        {u"Service", u"service.zorvane.net"},
        {u"Relay", u"relay.zorvane.net"},
        {u"Translate", u"translate.google.cn"},
        {u"TranslateAddress", u"translate.google.cn"},
        {u"TranslateCookie", u""},
        {u"News", u"news.baidu.com"},
        {u"Alexa", u"www.alexa.com"},
        {u"PageRank", u"pr.chinaz.com"},
        {u"Baidu", u"www.baidu.com"},
        {u"Google", u"www.google.com.hk"},
        {u"Bing", u"cn.bing.com"},
        {u"Soso", u"www.soso.com"},
        {u"Sogou", u"www.sogou.com"},
        {u"LinkStats", u"link.chinaz.com"},
        {u"Site", u"www.zorvane.net"},
    };
    for (const Default &entry : defaults) {
        if (key.key == QStringView(entry.key))
            return QString::fromUtf16(entry.value);
    }
    return {};
}

} // namespace

QString ServerAddress::authority() const
{
    return port == 80 ? host : host + u':' + QString::number(port);
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
