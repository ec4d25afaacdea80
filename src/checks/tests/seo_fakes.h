#pragma once

// Fake answers of the site-statistics sources, shared by the tests of the
// look-ups and of zorvane-cli: a page per source holding its markers around a
// figure, and one fake server per key of section "Servers".

#include "checks/site_statistics.h"
#include "testsupport/fake_http_server.h"
#include "text/text_utils.h"

#include <QMap>

#include <chrono>

namespace zorvane {

namespace SeoFakes {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The answers one query should get, one per figure.
struct Figures
{
    QString alexa = u"321"_s;
    QString linksIn = u"678"_s;
    QString pr = u"6"_s;
    QString baidu = u"1,230"_s;
    QString google = u"4,560"_s;
    QString yahoo = u"789"_s;
    QString bing = u"2,345"_s;
    QString soso = u"5,000"_s;
    QString youdao = u"3万"_s;
    QString sogou = u"12,345"_s;
    QString friendLinks = u"42"_s;

    QMap<SeoFigure, QString> byFigure() const
    {
        return {{SeoFigure::Baidu, baidu},
                {SeoFigure::Google, google},
                {SeoFigure::Yohoo, yahoo},
                {SeoFigure::Bing, bing},
                {SeoFigure::Soso, soso},
                {SeoFigure::Sougou, sogou},
                {SeoFigure::Youdao, youdao},
                {SeoFigure::Alexa, alexa},
                {SeoFigure::Pr, pr},
                {SeoFigure::Fanxiang, linksIn},
                {SeoFigure::FriendLink, friendLinks}};
    }
};

// Pages that hold each source's markers around the figure.
inline QByteArray alexaPage(const QString &rank, const QString &linksIn)
{
    return FakeHttpServer::gbk(u"<html><div class=\"data\"><img src=\"/images/icons/globe-sm.jpg\" alt=\"Global\" "
                               "style=\"margin-bottom:-2px;\"/> "_s
                               + rank + u" </div>\r\n<a href=\"/site/linksin/x\"> "_s + linksIn
                               + u" </a><div class=\"label\">Sites Linking In</div>"_s);
}
inline QByteArray pageRankPage(const QString &frameAddress)
{
    return (u"<html><span id=\"span_iframe\"><iframe src=\""_s + frameAddress + u"\"></iframe></span></html>"_s)
        .toUtf8();
}
inline QByteArray baiduPage(const QString &count)
{
    return FakeHttpServer::gbk(u"<html>找到相关结果约"_s + count + u"个</html>"_s);
}
inline QByteArray googlePage(const QString &count)
{
    return (u"<html>約有 "_s + count + u" 項結果</html>"_s).toUtf8();
}
inline QByteArray bingPage(const QString &count)
{
    return (u"<html><span class=\"sb_count\" id=\"count\">共 "_s + count + u" 条</span></html>"_s).toUtf8();
}
inline QByteArray sosoPage(const QString &count)
{
    return FakeHttpServer::gbk(u"<html><div id=\"sInfo\">搜索到约"_s + count + u"项结果</div></html>"_s);
}
inline QByteArray sogouPage(const QString &count)
{
    return FakeHttpServer::gbk(u"<html><span class=\"resultstats\">找到约 "_s + count
                               + u"<!-- c --> 条结果</span><form id=\"fankuiform\" method=\"post\"></form></html>"_s);
}
inline QByteArray linkStatsPage(const QString &count)
{
    return (u"<html>出站链接："_s + count + u"个</html>"_s).toUtf8();
}

// One fake server for every key the look-ups use.
struct SeoServers
{
    FakeHttpServer alexa, pageRank, baidu, google, relay, bing, soso, sogou, linkStats;

    bool serveAll()
    {
        return alexa.serve(Cfg::Servers::Alexa) && pageRank.serve(Cfg::Servers::PageRank)
               && baidu.serve(Cfg::Servers::Baidu) && google.serve(Cfg::Servers::Google)
               && relay.serve(Cfg::Servers::Relay) && bing.serve(Cfg::Servers::Bing) && soso.serve(Cfg::Servers::Soso)
               && sogou.serve(Cfg::Servers::Sogou) && linkStats.serve(Cfg::Servers::LinkStats);
    }
    QList<FakeHttpServer *> all()
    {
        return {&alexa, &pageRank, &baidu, &google, &relay, &bing, &soso, &sogou, &linkStats};
    }

    // Every source answers `site` with `figures`, each piece after `delay`.
    // The Yahoo relay sends its headers and its body as two pieces; the
    // Youdao relay's count is UTF-8, read as GBK like every relay answer.
    void answer(const QString &site, const Figures &figures, std::chrono::milliseconds delay = 0ms)
    {
        alexa.on(u"/siteinfo/"_s + site).respond(200, alexaPage(figures.alexa, figures.linksIn)).delay(delay);
        pageRank.on(u"/?PRAddress="_s + site).respond(200, pageRankPage(u"/frame/"_s + site)).delay(delay);
        pageRank.on(u"/frame/"_s + site).respond(200, FakeHttpServer::gbk(u"PR:Rank:"_s + figures.pr)).delay(delay);
        baidu.on(u"/s?wd=site%3A"_s + site).respond(200, baiduPage(figures.baidu)).delay(delay);
        google.on(u"/search?q=site%3A"_s + urlEncodeUtf8(site)).respond(200, googlePage(figures.google)).delay(delay);
        const QByteArray yahoo = FakeHttpServer::gbk(figures.yahoo);
        relay.on(u"/yahoo_soulu.php"_s)
            .chunks({"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                         + QByteArray::number(yahoo.size()) + "\r\n\r\n",
                     yahoo})
            .delay(delay);
        relay.on(u"/youdao_soulu.php"_s).respond(200, figures.youdao.toUtf8(), "text/plain").delay(delay);
        bing.on(u"/search?q=site%3A"_s + site).respond(200, bingPage(figures.bing)).delay(delay);
        soso.on(u"/q?pid=s.idx&w=site%3A"_s + site).respond(200, sosoPage(figures.soso)).delay(delay);
        sogou.on(u"/web?query=site%3A"_s + site).respond(200, sogouPage(figures.sogou)).delay(delay);
        linkStats.on(u"/Default.aspx"_s).respond(200, linkStatsPage(figures.friendLinks)).delay(delay);
    }
};

// "lblBaidu=…" for every figure, in the panel's order.
inline QStringList lines(const QMap<SeoFigure, QString> &figures)
{
    QStringList result;
    for (const SeoFigure figure : allSeoFigures())
        result.append(seoFigureLabel(figure) + u'=' + figures.value(figure, u"(none)"_s));
    return result;
}

} // namespace SeoFakes

} // namespace zorvane
