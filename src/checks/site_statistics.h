#pragma once

#include "net/http_exchange.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <array>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace zorvane {

// Search-engine statistics of one web site, gathered from ten sources at once:
// the pages seven search engines have indexed, the Alexa rank and the sites
// linking in, the PageRank and the outbound links.

// The eleven figures, in the order the panel lists them. Each is shown by the
// label seoFigureLabel() names.
enum class SeoFigure { Baidu, Google, Yohoo, Bing, Soso, Sougou, Youdao, Alexa, Pr, Fanxiang, FriendLink };
inline constexpr int seoFigureCount = 11;

// "lblBaidu", "lblGoogle", … "lblFriendLink".
QString seoFigureLabel(SeoFigure figure);
const std::array<SeoFigure, seoFigureCount> &allSeoFigures();

// The sources, numbered as the sockets that ask them; Google, which is asked
// over QNetworkAccessManager, has no socket (4 is unused).
enum class SeoSource {
    Alexa = 1,
    PageRank = 2,
    Baidu = 3,
    Google = 4,
    Yahoo = 5, // through the statistics relay
    Bing = 6,
    Soso = 7,
    Youdao = 8, // through the statistics relay
    Sogou = 9,
    LinkStats = 10,
};

namespace SeoText {
QString noData();         // "No Data": every figure before the first query
QString querying();       // "查询中"
QString failed();         // "查询失败"
QString networkFailure(); // "网络故障，无法查询。"
} // namespace SeoText

// What a site is looked up as: every blank becomes "+". The window shows this
// form from then on.
QString siteQueryText(const QString &site);

// The request of a socket source for the site, to the server of its key in
// section "Servers". Not for SeoSource::Google.
HttpExchange::Request seoSourceRequest(SeoSource source, const QString &site);
// The absolute address of the Google look-up.
QString googleSearchAddress(const QString &site);

// The parsers, one per source, over the page as received: GBK-decoded text or
// UTF-8-decoded bytes, as each source is read.
struct AlexaFigures
{
    QString rank;
    QString linksIn;
};
AlexaFigures parseAlexa(const QString &page);
// The address of the frame that holds the PageRank, or nothing when the page
// has no frame section.
std::optional<QString> parsePageRankPage(const QString &page);
// Where the frame's address leads: an http(s) address on the host of
// "PageRank" of section "Servers", a relative one resolved against it;
// invalid for anything else.
QUrl pageRankFrameUrl(const QString &address);
// The PageRank from the frame's text; "查询失败" for an empty or long text.
QString parsePageRankFrame(const QString &frame);
QString parseBaidu(const QString &page);
QString parseBing(const QString &page);
QString parseSoso(const QString &page);
QString parseSogou(const QString &page);
QString parseLinkStats(const QString &page);
QString parseGoogle(const QString &page);
// The relay's answer: the bare count as the body, once the body is there (all
// of Content-Length when the headers give one). Nothing while it is not.
std::optional<QByteArray> relayAnswerBody(const QByteArray &received);
QString parseRelayBody(const QByteArray &body);

// Runs the ten look-ups of one query, all in flight together, each on its own
// connection. Every look-up ends: its figures get their values, or
// "查询失败" when the source could not be reached, broke off, answered with a
// status other than 2xx, sent more than a page may hold, or did not answer
// within the time-out of section "Servers". A query with failures reports
// "网络故障，无法查询。" once. A new query drops the one running: nothing of
// it reaches a figure any more.
class SiteStatistics : public QObject
{
    Q_OBJECT

public:
    explicit SiteStatistics(QObject *parent = nullptr);
    ~SiteStatistics() override;

    // Sets every figure to "查询中" and starts the look-ups for the site (blanks
    // as "+"). False, and nothing done, for an empty site.
    bool start(const QString &site);
    // Drops the running query without any further signal.
    void cancel();
    bool isRunning() const { return m_pending > 0; }

Q_SIGNALS:
    void figureChanged(SeoFigure figure, const QString &text);
    // Once per query, at its first failure.
    void networkFailure(const QString &message);
    // Every look-up of the query has ended.
    void finished();

private:
    void startSocketSource(SeoSource source, const QString &site);
    void startGoogle(const QString &site);
    void onSocketAnswer(SeoSource source, const HttpReply &reply);
    void fetchPageRankFrame(const QString &address);
    QNetworkReply *get(const QNetworkRequest &request);
    bool setFigure(SeoFigure figure, const QString &text);
    void sourceFailed(SeoSource source);
    void lookupEnded();

    std::array<HttpExchange *, 11> m_exchanges{}; // by socket number; 0 and 4 unused
    QNetworkAccessManager *m_network;
    QList<QPointer<QNetworkReply>> m_replies;
    quint64 m_query = 0;
    int m_pending = 0;
    bool m_failureReported = false;
};

} // namespace zorvane
