#include "net/bounded_get.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace zorvane {

QNetworkReply *boundedGet(QNetworkAccessManager &manager, QNetworkRequest request, std::chrono::milliseconds timeout,
                          qint64 maxSize)
{
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = manager.get(request);
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeout);
    if (maxSize > 0) {
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maxSize](qint64 received, qint64) {
            if (received > maxSize)
                reply->abort();
        });
    }
    return reply;
}

QByteArray successBody(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 ? reply->readAll() : QByteArray();
}

} // namespace zorvane
