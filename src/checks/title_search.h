#pragma once

#include "net/http_exchange.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <utility>

namespace zorvane {

// The duplicate-title news search: asks the news search service (key "News"
// of section "Servers") whether a title was already published, how often, and
// where.

// Which option button is selected: the exact title search, the full-text
// search, or neither.
enum class TitleSearchMode { None, Exact, Fuzzy };

// The texts the title search shows in its status label.
namespace TitleSearchText {
QString querying(); // "正在查询..."
QString done();     // "查询完毕"
QString failed();   // "网络故障"
} // namespace TitleSearchText

// One hit of a result page.
struct TitleHit
{
    QString link;   // the address, without quotes; empty when the anchor has no blank
    QString title;  // plain text
    QString source; // as on the page; may be empty
    QString time;   // as on the page

    // The title followed by the source in full-width brackets, or the title
    // alone when there is no source.
    QString caption() const;
    friend bool operator==(const TitleHit &, const TitleHit &) = default;
};

struct TitlePage
{
    QString count = QString(u'0'); // as the page gives it ("约1,230"), "0" without one
    QList<TitleHit> hits;
};

// What a title is looked up as: every blank becomes "+". The window shows this
// form from then on.
QString titleQueryText(const QString &title);

// The request path for the query text; empty for TitleSearchMode::None.
QString titleSearchPath(const QString &query, TitleSearchMode mode);

// Reads a result page whose tag names are lower-cased (TagNameLowercaser),
// cutting the hits as the mode says; the first MaxTitleHits of them, as the
// panel's label promises, each read from its first MaxHitLength characters.
inline constexpr qsizetype MaxTitleHits = 50;
inline constexpr qsizetype MaxHitLength = 64 * 1024;
TitlePage parseTitlePage(const QString &page, TitleSearchMode mode);

// A hit's link as an address the desktop may open: only http and https
// addresses qualify, anything else (a local file, a program, a custom scheme)
// gives an invalid QUrl.
QUrl openableHitUrl(const QString &link);

// The receive buffer of the title search, with the tag names lower-cased as
// the page arrives: every "<...>" on one line, as the pattern "<.+?>" finds
// them, has the part up to and including its first blank lower-cased (the
// whole tag when it has no blank). Each tag is lowered where it stands, once;
// only the part after the last finished tag is looked at again, so a page
// costs time in proportion to its length.
class TagNameLowercaser
{
public:
    // Appends a piece of the page. Returns the position from which text() may
    // differ from what it was before the call: the first tag lowered now, or
    // where the piece begins.
    qsizetype append(QStringView piece);
    const QString &text() const { return m_text; }
    void clear();

private:
    QString m_text;
    // The first "<" whose tag has not closed yet (or the end), and how far the
    // search for its ">" got.
    qsizetype m_resume = 0;
    qsizetype m_probe = 0;
};

// One query at a time on a new connection each: GET to the news search
// service, the page received as GBK text, complete once "</html>" is in the
// lower-cased buffer. The hits are cut by the mode selected when the page is
// complete, not when the query started. Every query ends, with `finished` or
// `failed`: a refused or broken connection, a peer that hangs up before the
// end of the page, a page over the exchanges' bound, a status other than 2xx
// and the time-out of section "Servers" all fail.
class TitleSearch : public QObject
{
    Q_OBJECT

public:
    using ModeSource = std::function<TitleSearchMode()>;

    explicit TitleSearch(QObject *parent = nullptr);
    ~TitleSearch() override;

    // Drops a running query without a signal, then looks the title up (blanks
    // as "+"). False when nothing started: for an empty title (the running
    // query goes on) or for TitleSearchMode::None (the running query is
    // dropped all the same). `modeNow` is asked for the mode when the page is
    // complete; without it the mode given here is used.
    bool start(const QString &title, TitleSearchMode mode, ModeSource modeNow = {});
    void cancel();
    bool isRunning() const;

Q_SIGNALS:
    void finished(const TitlePage &page);
    void failed(const QString &message);

private:
    struct ReceivedPage;
    void onFinished(const HttpReply &reply);

    HttpExchange *m_exchange;
    std::shared_ptr<ReceivedPage> m_page;
    TitleSearchMode m_mode = TitleSearchMode::None;
    ModeSource m_modeNow;
};

} // namespace zorvane
