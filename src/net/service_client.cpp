#include "net/service_client.h"

#include "net/bounded_get.h"
#include "net/servers.h"
#include "text/gbk.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

ServiceClient::ServiceClient(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{}

ServiceClient::~ServiceClient() = default;

void ServiceClient::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = timeout;
}

std::chrono::milliseconds ServiceClient::timeout() const
{
    return m_timeout.count() > 0 ? m_timeout : serverTimeout();
}

void ServiceClient::fetchText(const QString &path, QObject *context, std::function<void(const QString &reply)> done)
{
    fetchBytes(path, context, [done = std::move(done)](const QByteArray &reply) { done(fromGbk(reply)); });
}

void ServiceClient::fetchBytes(const QString &path, QObject *context, std::function<void(const QByteArray &reply)> done,
                               qint64 bound)
{
    const ServerAddress server = serverAddress(Cfg::Servers::Service);
    const QString relative = path.startsWith(u'/') ? path.mid(1) : path;
    QNetworkReply *reply = boundedGet(*m_network, QNetworkRequest(QUrl(server.url(u'/' + relative))), timeout(), bound,
                                      Redirects::SameHost);

    const bool watchContext = context != nullptr;
    QPointer<QObject> guard(context);
    connect(reply, &QNetworkReply::finished, this, [reply, watchContext, guard, done = std::move(done), this] {
        reply->deleteLater();
        const QByteArray body = successBody(reply);
        if (watchContext && guard.isNull())
            return;
        QObject *receiver = watchContext ? guard.data() : this;
        QMetaObject::invokeMethod(receiver, [done, body] { done(body); });
    });
}

namespace ServicePath {

QString advertisement()
{
    return u"index.php?m=show&action=ad"_s;
}

QString formatDefault()
{
    return u"index.php?m=show&action=format"_s;
}

QString ycDefault()
{
    return u"index.php?m=show&action=yc"_s;
}

QString updateList(const QString &stamp)
{
    return u"index.php?m=show&action=upnew&time="_s + stamp;
}

QString notice()
{
    return u"index.php?m=show&action=notice"_s;
}

QString errorWordsVersion()
{
    return u"index.php?m=show&action=errorwords"_s;
}

QString errorWords()
{
    return u"data/errorwords.txt"_s;
}

QString sameWordsVersion()
{
    return u"index.php?m=show&action=samewords"_s;
}

QString sameWords()
{
    return u"data/samewords.txt"_s;
}

QString logout()
{
    return u"index.php?m=show&action=logout"_s;
}

} // namespace ServicePath

} // namespace zorvane
