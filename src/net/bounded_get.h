#pragma once

#include <QByteArray>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace zorvane {

// Where a redirect may lead a bounded GET.
enum class Redirects {
    Follow,   // as QNetworkAccessManager does: anywhere but from https to http
    SameHost, // only to an http(s) address on the host first asked; any other
              // ends the fetch on its failure path
};

// A GET through manager, always from the network, whose whole fetch (not only
// each pause in it) ends within timeout, and whose body may not pass maxSize
// bytes (0: no limit); a reply that announces more is stopped at its header.
// Either limit aborts the reply, which then ends on its failure path: a
// server that trickles or floods never keeps a caller waiting. An oversized
// reply is logged with its size. The reply is the caller's, as
// QNetworkAccessManager::get() gives it.
QNetworkReply *boundedGet(QNetworkAccessManager &manager, QNetworkRequest request, std::chrono::milliseconds timeout,
                          qint64 maxSize = 0, Redirects redirects = Redirects::Follow);

// Whether the reply was aborted for passing maxSize, announced or received
// (and not for its time-out).
bool stoppedOversized(const QNetworkReply *reply);

// The body of a finished reply with a 2xx status; a network error, an abort
// or any other status reads as the empty reply.
QByteArray successBody(QNetworkReply *reply);

} // namespace zorvane
