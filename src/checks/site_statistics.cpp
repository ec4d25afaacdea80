#include "checks/site_statistics.h"

#include "net/bounded_get.h"
#include "net/count_text.h"
#include "net/http_request.h"
#include "net/servers.h"
#include "net/web_address.h"
#include "text/between.h"
#include "text/gbk.h"
#include "text/text_utils.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The fixed form fields of the link-statistics post, percent-encoded as sent.
const QString linkStatsViewState =
    u"C02k5QDzX6lMpVu1lOWrzKRsD24gUYKyNAguMTSw2mrDdUu6THwrBHZjWeNpBaitlPJyE%2FpZBS6RMMIn8"
    "iEn7zk6jJMHyPI93StAyAQJ6FPrYKcHQs9GNhwhlWUTvhlghDYiCQXAqkg%3D"_s;
const QString linkStatsEntime = u"2Shqei8xvIz6dvSsnfXuLnOs8ftPbC0%3D"_s;

QString withoutBlanks(QString text)
{
    return text.remove(u' ');
}

// The cleaner for counts read as GBK text. A UTF-8 page read as GBK leaves the
// last byte of "万" or "亿" in a broken pair, which the code page shows as "?"
// for the cleaner to drop; the decoder shows it as U+FFFD.
QString cleanCount(const QString &text)
{
    QString count = text;
    count.replace(QChar(QChar::ReplacementCharacter), u'?');
    return cleanCountText(count);
}

QList<SeoFigure> figuresOf(SeoSource source)
{
    switch (source) {
    case SeoSource::Alexa:
        return {SeoFigure::Alexa, SeoFigure::Fanxiang};
    case SeoSource::PageRank:
        return {SeoFigure::Pr};
    case SeoSource::Baidu:
        return {SeoFigure::Baidu};
    case SeoSource::Google:
        return {SeoFigure::Google};
    case SeoSource::Yahoo:
        return {SeoFigure::Yohoo};
    case SeoSource::Bing:
        return {SeoFigure::Bing};
    case SeoSource::Soso:
        return {SeoFigure::Soso};
    case SeoSource::Youdao:
        return {SeoFigure::Youdao};
    case SeoSource::Sogou:
        return {SeoFigure::Sougou};
    case SeoSource::LinkStats:
        return {SeoFigure::FriendLink};
    }
    return {};
}

constexpr SeoSource socketSources[] = {SeoSource::Alexa,  SeoSource::PageRank, SeoSource::Baidu,
                                       SeoSource::Yahoo,  SeoSource::Bing,     SeoSource::Soso,
                                       SeoSource::Youdao, SeoSource::Sogou,    SeoSource::LinkStats};
constexpr int lookupCount = 10;

bool isSuccessStatus(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

} // namespace

QString seoFigureLabel(SeoFigure figure)
{
    static const std::array<QString, seoFigureCount> labels = {
        u"lblBaidu"_s,  u"lblGoogle"_s, u"lblYohoo"_s, u"lblBing"_s,     u"lblSoso"_s,       u"lblSougou"_s,
        u"lblYoudao"_s, u"lblAlexa"_s,  u"lblPr"_s,    u"lblFanxiang"_s, u"lblFriendLink"_s,
    };
    return labels[std::size_t(figure)];
}

const std::array<SeoFigure, seoFigureCount> &allSeoFigures()
{
    static constexpr std::array<SeoFigure, seoFigureCount> figures = {
        SeoFigure::Baidu, SeoFigure::Google,   SeoFigure::Yohoo,      SeoFigure::Bing,
        SeoFigure::Soso,  SeoFigure::Sougou,   SeoFigure::Youdao,     SeoFigure::Alexa,
        SeoFigure::Pr,    SeoFigure::Fanxiang, SeoFigure::FriendLink,
    };
    return figures;
}

namespace SeoText {
QString noData()
{
    return u"No Data"_s;
}
QString querying()
{
    return u"查询中"_s;
}
QString failed()
{
    return u"查询失败"_s;
}
QString networkFailure()
{
    return u"网络故障，无法查询。"_s;
}
} // namespace SeoText

QString siteQueryText(const QString &site)
{
    QString query = site;
    return query.replace(u' ', u'+');
}

HttpExchange::Request seoSourceRequest(SeoSource source, const QString &site)
{
    HttpExchange::Request request;
    request.failureMessage = SeoText::networkFailure();
    const auto get = [&](const ConfigKey &key, const QString &path) {
        request.server = serverAddress(key);
        request.text = buildGetRequest(path, request.server.authority(), QString(), QString());
    };
    const auto post = [&](const ConfigKey &key, const QString &path, const QString &body, const QString &referrer) {
        request.server = serverAddress(key);
        request.text = buildPostRequest(path, request.server.authority(), body, QString(), referrer);
    };
    const auto textUntil = [&](const QString &marker) {
        request.receive = HttpExchange::Receive::Text;
        request.completion = CompletionMarker::inText(marker);
    };
    const auto bytesUntilPageEnd = [&] {
        request.receive = HttpExchange::Receive::Bytes;
        request.completion = CompletionMarker::inBytes(toByteString(u"</html>"_s));
    };
    const auto relayAnswer = [&] {
        request.receive = HttpExchange::Receive::Bytes;
        request.completion = CompletionMarker::endOfBody();
    };

    switch (source) {
    case SeoSource::Alexa:
        get(Cfg::Servers::Alexa, u"/siteinfo/"_s + site);
        textUntil(u"<div class=\"label\">Sites Linking In"_s);
        break;
    case SeoSource::PageRank:
        get(Cfg::Servers::PageRank, u"/?PRAddress="_s + site);
        bytesUntilPageEnd();
        break;
    case SeoSource::Baidu:
        get(Cfg::Servers::Baidu, u"/s?wd=site%3A"_s + site);
        textUntil(u"</html>"_s);
        break;
    case SeoSource::Yahoo:
        post(Cfg::Servers::Relay, u"/yahoo_soulu.php"_s, u"url="_s + site, QString());
        relayAnswer();
        break;
    case SeoSource::Bing:
        get(Cfg::Servers::Bing, u"/search?q=site%3A"_s + site);
        bytesUntilPageEnd();
        break;
    case SeoSource::Soso:
        get(Cfg::Servers::Soso, u"/q?pid=s.idx&w=site%3A"_s + site);
        textUntil(u"</html>"_s);
        break;
    case SeoSource::Youdao:
        post(Cfg::Servers::Relay, u"/youdao_soulu.php"_s, u"url="_s + site, QString());
        relayAnswer();
        break;
    case SeoSource::Sogou:
        get(Cfg::Servers::Sogou, u"/web?query=site%3A"_s + site);
        textUntil(u"<form id=\"fankuiform\" method=\"post\">"_s);
        break;
    case SeoSource::LinkStats: {
        const QString body = u"__VIEWSTATE="_s + linkStatsViewState + u"&entime="_s + linkStatsEntime
                             + u"&linkcount=192&txtSiteUrl="_s + site
                             + u"%2F&btnQuiry=%E6%9F%A5+%E8%AF%A2&ddlSearchMode=1&linkdomains=&selall=on&selpr=on"
                               "&selsnap=on&selfl=on"_s;
        const QString page = u"/Default.aspx"_s;
        post(Cfg::Servers::LinkStats, page, body, serverAddress(Cfg::Servers::LinkStats).url(page));
        bytesUntilPageEnd();
        break;
    }
    case SeoSource::Google:
        break;
    }
    return request;
}

QString googleSearchAddress(const QString &site)
{
    return serverAddress(Cfg::Servers::Google).url(u"/search?q=site%3A"_s + urlEncodeUtf8(site));
}

AlexaFigures parseAlexa(const QString &page)
{
    QString rank = Between(
        page, u"<img src=\"/images/icons/globe-sm.jpg\" alt=\"Global\" style=\"margin-bottom:-2px;\"/>"_s, u"</div>"_s);
    rank = rank.contains(u"img"_s) ? SeoText::noData() : trimBlanks(rank).toString();
    QString linksIn = Between(page, u"<a href=\"/site/linksin"_s, u"</a>"_s);
    linksIn = linksIn.mid(linksIn.indexOf(u'>') + 1);
    linksIn = linksIn.contains(u"img"_s) ? SeoText::noData() : trimBlanks(linksIn).toString();
    return {cleanCount(rank), cleanCount(linksIn)};
}

std::optional<QString> parsePageRankPage(const QString &page)
{
    const QString section = u"span_iframe"_s;
    if (!page.contains(section))
        return std::nullopt;
    return Between(Between(page, section, u"</span>"_s), u"src=\""_s, u"\""_s);
}

QUrl pageRankFrameUrl(const QString &address)
{
    // The frame's address comes from the page: only a web address on the
    // PageRank service's own host is fetched, relative ones against it, so
    // that a page cannot send the program to another machine of the network.
    const ServerAddress service = serverAddress(Cfg::Servers::PageRank);
    const QUrl base(service.url(u"/"_s), QUrl::TolerantMode);
    const QString trimmed = address.trimmed();
    const QUrl url = webAddress(base.resolved(QUrl(trimmed, QUrl::TolerantMode)));
    if (trimmed.isEmpty() || !url.isValid() || url.host().compare(base.host(), Qt::CaseInsensitive) != 0)
        return {};
    return url;
}

QString parsePageRankFrame(const QString &frame)
{
    // The frame answers with a short "label:label:value" text.
    if (frame.isEmpty() || frame.size() >= 21)
        return SeoText::failed();
    QString value = frame.mid(frame.indexOf(u':') + 1);
    return value.mid(value.indexOf(u':') + 1);
}

QString parseBaidu(const QString &page)
{
    const QString count = Between(page, u"找到相关结果约"_s, u"个"_s);
    return cleanCount(count.isEmpty() ? u"0"_s : count);
}

QString parseBing(const QString &page)
{
    const QString counter = u"<span class=\"sb_count\" id=\"count\">"_s;
    if (!page.contains(counter))
        return u"0"_s;
    return withoutBlanks(Between(Between(page, counter, u"</span>"_s), u"共"_s, u"条"_s));
}

QString parseSoso(const QString &page)
{
    if (!page.contains(u"<div id=\"sInfo\">"_s))
        return u"0"_s;
    return cleanCount(Between(page, u"搜索到约"_s, u"项结果"_s));
}

QString parseSogou(const QString &page)
{
    const QString stats = Between(page, u"<span class=\"resultstats\""_s, u"</span>"_s);
    return cleanCount(Between(stats, u"找到"_s, u"<!--"_s));
}

QString parseLinkStats(const QString &page)
{
    const QString outbound = u"出站链接："_s;
    if (!page.contains(outbound))
        return u"0"_s;
    return Between(page, outbound, u"个"_s);
}

QString parseGoogle(const QString &page)
{
    QString count;
    if (page.contains(u"約有"_s))
        count = Between(page, u"約有"_s, u"項結果"_s);
    // The simplified page wins when both are there.
    if (page.contains(u"</b> 条结果"_s))
        count = Between(page, u"</b> 获得约 <b>"_s, u"</b> 条结果"_s);
    return count.isEmpty() ? u"0"_s : withoutBlanks(count);
}

std::optional<QByteArray> relayAnswerBody(const QByteArray &received)
{
    const qsizetype headersEnd = received.indexOf("\r\n\r\n");
    if (headersEnd < 0)
        return std::nullopt;
    const QByteArray body = received.mid(headersEnd + 4);
    if (const std::optional<qint64> length = ReplyBuffer::contentLengthOf(QByteArrayView(received).first(headersEnd))) {
        if (body.size() < *length)
            return std::nullopt;
        return body.left(*length);
    }
    // Without a length the count is whatever came with or after the headers.
    if (body.isEmpty())
        return std::nullopt;
    return body;
}

QString parseRelayBody(const QByteArray &body)
{
    return cleanCount(fromGbk(body));
}

SiteStatistics::SiteStatistics(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    for (const SeoSource source : socketSources) {
        auto *exchange = new HttpExchange(this);
        m_exchanges[std::size_t(source)] = exchange;
        connect(exchange, &HttpExchange::finished, this,
                [this, source](const HttpReply &reply) { onSocketAnswer(source, reply); });
        connect(exchange, &HttpExchange::failed, this, [this, source] { sourceFailed(source); });
    }
}

SiteStatistics::~SiteStatistics()
{
    cancel();
}

bool SiteStatistics::start(const QString &text)
{
    const QString site = siteQueryText(text);
    if (site.isEmpty())
        return false;
    cancel();
    const quint64 query = m_query;
    m_failureReported = false;
    m_pending = lookupCount;
    for (const SeoFigure figure : allSeoFigures()) {
        Q_EMIT figureChanged(figure, SeoText::querying());
        if (query != m_query)
            return true;
    }
    // The order the sources have always been asked in.
    startSocketSource(SeoSource::Alexa, site);
    startSocketSource(SeoSource::PageRank, site);
    startSocketSource(SeoSource::Baidu, site);
    startGoogle(site);
    for (const SeoSource source : {SeoSource::Yahoo, SeoSource::Bing, SeoSource::Soso, SeoSource::Youdao,
                                   SeoSource::Sogou, SeoSource::LinkStats})
        startSocketSource(source, site);
    return true;
}

void SiteStatistics::cancel()
{
    ++m_query;
    m_pending = 0;
    for (HttpExchange *exchange : m_exchanges) {
        if (exchange)
            exchange->abort();
    }
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_replies)) {
        if (!reply)
            continue;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_replies.clear();
}

void SiteStatistics::startSocketSource(SeoSource source, const QString &site)
{
    m_exchanges[std::size_t(source)]->start(seoSourceRequest(source, site));
}

QNetworkReply *SiteStatistics::get(const QNetworkRequest &request)
{
    // A reply beyond what any page needs ends on the failure path, and a
    // redirect is followed only on the host asked.
    QNetworkReply *reply =
        boundedGet(*m_network, request, serverTimeout(), HttpExchange::defaultMaxReplySize, Redirects::SameHost);
    m_replies.append(reply);
    return reply;
}

void SiteStatistics::startGoogle(const QString &site)
{
    QNetworkRequest request{QUrl(googleSearchAddress(site), QUrl::TolerantMode)};
    // The two header lines the search has always been asked with.
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    request.setRawHeader("User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
    QNetworkReply *reply = get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        // An error page says nothing of the site: only a 2xx page is read.
        if (reply->error() != QNetworkReply::NoError || !isSuccessStatus(reply)) {
            sourceFailed(SeoSource::Google);
            return;
        }
        if (setFigure(SeoFigure::Google, parseGoogle(decodeUtf8(successBody(reply)))))
            lookupEnded();
    });
}

void SiteStatistics::fetchPageRankFrame(const QString &address)
{
    const QUrl url = pageRankFrameUrl(address);
    if (!url.isValid()) {
        if (setFigure(SeoFigure::Pr, SeoText::failed()))
            lookupEnded();
        return;
    }
    QNetworkReply *reply = get(QNetworkRequest(url));
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (setFigure(SeoFigure::Pr, parsePageRankFrame(fromGbk(successBody(reply)))))
            lookupEnded();
    });
}

void SiteStatistics::onSocketAnswer(SeoSource source, const HttpReply &reply)
{
    // An error page, or a portal's redirect, is no answer of the source.
    if (!reply.isSuccess()) {
        sourceFailed(source);
        return;
    }
    bool current = true;
    switch (source) {
    case SeoSource::Alexa: {
        const AlexaFigures figures = parseAlexa(reply.text);
        current = setFigure(SeoFigure::Alexa, figures.rank) && setFigure(SeoFigure::Fanxiang, figures.linksIn);
        break;
    }
    case SeoSource::PageRank:
        if (const std::optional<QString> frame = parsePageRankPage(decodeUtf8(reply.bytes))) {
            fetchPageRankFrame(*frame);
            return;
        }
        current = setFigure(SeoFigure::Pr, SeoText::failed());
        break;
    case SeoSource::Baidu:
        current = setFigure(SeoFigure::Baidu, parseBaidu(reply.text));
        break;
    case SeoSource::Yahoo:
    case SeoSource::Youdao:
        current = setFigure(source == SeoSource::Yahoo ? SeoFigure::Yohoo : SeoFigure::Youdao,
                            parseRelayBody(relayAnswerBody(reply.bytes).value_or(QByteArray())));
        break;
    case SeoSource::Bing:
        current = setFigure(SeoFigure::Bing, parseBing(decodeUtf8(reply.bytes)));
        break;
    case SeoSource::Soso:
        current = setFigure(SeoFigure::Soso, parseSoso(reply.text));
        break;
    case SeoSource::Sogou:
        current = setFigure(SeoFigure::Sougou, parseSogou(reply.text));
        break;
    case SeoSource::LinkStats:
        current = setFigure(SeoFigure::FriendLink, parseLinkStats(decodeUtf8(reply.bytes)));
        break;
    case SeoSource::Google:
        return;
    }
    if (current)
        lookupEnded();
}

bool SiteStatistics::setFigure(SeoFigure figure, const QString &text)
{
    // A receiver may start a new query or cancel this one.
    const quint64 query = m_query;
    Q_EMIT figureChanged(figure, text);
    return query == m_query;
}

void SiteStatistics::sourceFailed(SeoSource source)
{
    for (const SeoFigure figure : figuresOf(source)) {
        if (!setFigure(figure, SeoText::failed()))
            return;
    }
    if (!m_failureReported) {
        m_failureReported = true;
        const quint64 query = m_query;
        Q_EMIT networkFailure(SeoText::networkFailure());
        if (query != m_query)
            return;
    }
    lookupEnded();
}

void SiteStatistics::lookupEnded()
{
    if (m_pending > 0 && --m_pending == 0)
        Q_EMIT finished();
}

} // namespace zorvane
