#include "net/bounded_get.h"

#include "net/net_log.h"
#include "net/web_address.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace zorvane {

namespace {

constexpr char MaxSizeProperty[] = "zorvane.maxSize";
constexpr char OversizedProperty[] = "zorvane.oversized";

void stopOversized(QNetworkReply *reply, qint64 received, std::optional<qint64> announced, qint64 maxSize)
{
    if (reply->isFinished())
        return;
    logOversizedReply(reply->url().toDisplayString(), received, announced, maxSize);
    reply->setProperty(OversizedProperty, true);
    reply->abort();
}

} // namespace

QNetworkReply *boundedGet(QNetworkAccessManager &manager, QNetworkRequest request, std::chrono::milliseconds timeout,
                          qint64 maxSize, Redirects redirects)
{
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (redirects == Redirects::SameHost)
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply *reply = manager.get(request);
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeout);
    if (maxSize > 0) {
        reply->setProperty(MaxSizeProperty, maxSize);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxSize] {
            bool known = false;
            const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
            if (known && announced > maxSize)
                stopOversized(reply, 0, announced, maxSize);
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxSize](qint64 received, qint64) {
            if (received > maxSize)
                stopOversized(reply, received, std::nullopt, maxSize);
        });
        // Progress is reported at most every so often, and a fast server can
        // send far more than the bound in between: what is buffered is
        // weighed on every arrival, so that it never grows much past the bound.
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxSize] {
            if (reply->bytesAvailable() > maxSize)
                stopOversized(reply, reply->bytesAvailable(), std::nullopt, maxSize);
        });
    }
    if (redirects == Redirects::SameHost) {
        const QUrl asked = request.url();
        QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, asked](const QUrl &target) {
            const QUrl next = webAddress(asked.resolved(target));
            if (next.isValid() && next.host().compare(asked.host(), Qt::CaseInsensitive) == 0) {
                Q_EMIT reply->redirectAllowed();
                return;
            }
            qCWarning(lcNet, "%s: a redirect to %s, away from its host, refused", qPrintable(asked.toDisplayString()),
                      qPrintable(target.toDisplayString()));
            reply->abort();
        });
    }
    return reply;
}

bool stoppedOversized(const QNetworkReply *reply)
{
    return reply->property(OversizedProperty).toBool();
}

QByteArray successBody(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300)
        return {};
    // A reply that came all at once may have ended before its size was
    // looked at.
    const qint64 maxSize = reply->property(MaxSizeProperty).toLongLong();
    if (maxSize > 0 && reply->bytesAvailable() > maxSize) {
        logOversizedReply(reply->url().toDisplayString(), reply->bytesAvailable(), std::nullopt, maxSize);
        return {};
    }
    return reply->readAll();
}

} // namespace zorvane
