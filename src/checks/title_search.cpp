#include "checks/title_search.h"

#include "net/http_request.h"
#include "net/servers.h"
#include "net/web_address.h"
#include "text/between.h"
#include "text/text_utils.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// What lower-casing a tag's name part (up to and including its first blank)
// comes to: nothing, ASCII letters only, or something for QString::toLower.
enum class TagCase { Lower, AsciiUpper, Other };

TagCase caseOf(QStringView tag)
{
    TagCase result = TagCase::Lower;
    for (QChar c : tag) {
        const char16_t u = c.unicode();
        if (u == u' ')
            break;
        if (u >= 0x80)
            return TagCase::Other;
        if (u >= u'A' && u <= u'Z')
            result = TagCase::AsciiUpper;
    }
    return result;
}

// The tag with its name part lower-cased.
QString loweredTag(QStringView tag)
{
    const qsizetype blank = tag.indexOf(u' ');
    const QStringView head = blank < 0 ? tag : tag.left(blank + 1);
    return head.toString().toLower() + tag.mid(head.size());
}

// The name part of an ASCII tag lower-cased where it stands.
void lowerAsciiTag(QChar *tag, qsizetype length)
{
    for (qsizetype i = 0; i < length && tag[i] != u' '; ++i) {
        if (tag[i] >= u'A' && tag[i] <= u'Z')
            tag[i] = QChar(char16_t(tag[i].unicode() + (u'a' - u'A')));
    }
}

// A tag as the pattern "<.+?>" finds it: `end` is the index of its ">".
struct Tag
{
    qsizetype begin;
    qsizetype end;
};

struct TagScan
{
    QList<Tag> tags;
    qsizetype resume = 0; // the first "<" whose tag may still close, or the end
    qsizetype probe = 0;  // how far the search for that tag's ">" got
};

// The tags of `text` from `from` on, in the order the pattern finds them
// ("." is any character but CR and LF, so a tag never spans a line break).
// `probe` carries on an earlier search for the ">" of a tag at `from`.
TagScan scanTags(QStringView text, qsizetype from, qsizetype probe)
{
    TagScan scan;
    const qsizetype n = text.size();
    qsizetype i = from;
    for (;;) {
        const qsizetype p = text.indexOf(u'<', i);
        if (p < 0) {
            scan.resume = scan.probe = n;
            return scan;
        }
        if (p + 1 >= n) {
            scan.resume = p;
            scan.probe = p + 1;
            return scan;
        }
        if (isLineBreak(text[p + 1])) {
            i = p + 1;
            continue;
        }
        qsizetype k = p + 2;
        if (p == from)
            k = qMax(k, probe);
        while (k < n && text[k] != u'>' && !isLineBreak(text[k]))
            ++k;
        if (k >= n) {
            scan.resume = p;
            scan.probe = n;
            return scan;
        }
        if (text[k] != u'>') {
            // Every "<" before the line break fails for the same reason.
            i = k + 1;
            continue;
        }
        scan.tags.append({p, k});
        i = k + 1;
    }
}

const QString exactBlock = u"<p class=\"res\">"_s;
const QString fuzzyCell = u"<td class=\"text\">"_s;

TitleHit readHit(const QString &hit, TitleSearchMode mode)
{
    TitleHit result;
    const QString anchor = Between(hit, u"<a href="_s, u"</a>"_s);
    const qsizetype blank = anchor.indexOf(u' ');
    if (blank >= 0)
        result.link = anchor.left(blank).remove(u'"');
    // Without "_blank>" the title starts at the seventh character.
    result.title = stripHtml(anchor.mid(anchor.indexOf(u"_blank>"_s) + 7));
    if (mode == TitleSearchMode::Exact) {
        result.source = Between(hit, u"<font color=#008000 size=1>"_s, u"&gt;&gt;"_s);
        result.time = Between(hit, u"<font class=g size=1>"_s, u"</font>"_s);
    } else {
        result.source = Between(hit, u"<font color=#008000>"_s, u"</a>"_s);
        result.time = Between(hit, u"<nobr>"_s, u"</nobr>"_s);
    }
    return result;
}

} // namespace

namespace TitleSearchText {
QString querying()
{
    return u"正在查询..."_s;
}
QString done()
{
    return u"查询完毕"_s;
}
QString failed()
{
    return u"网络故障"_s;
}
} // namespace TitleSearchText

QString TitleHit::caption() const
{
    return source.isEmpty() ? title : title + u'（' + source + u'）';
}

QString titleQueryText(const QString &title)
{
    QString query = title;
    return query.replace(u' ', u'+');
}

QString titleSearchPath(const QString &query, TitleSearchMode mode)
{
    switch (mode) {
    case TitleSearchMode::Exact:
        return u"/ns?tn=newstitle&from=news&rn=50&word="_s + query;
    case TitleSearchMode::Fuzzy:
        return u"/ns?tn=news&from=news&rn=50&word="_s + query;
    case TitleSearchMode::None:
        break;
    }
    return {};
}

TitlePage parseTitlePage(const QString &page, TitleSearchMode mode)
{
    TitlePage result;
    const QString related = u"相关新闻"_s;
    if (!page.contains(related))
        return result;
    result.count = Between(page, related, u"篇"_s);

    // Hits read from their first MaxHitLength characters: no result's title
    // comes near, and a page cannot make the grid hold megabytes.
    const qsizetype longest = MaxTitleHits * (MaxHitLength + 3);
    QString collected;
    if (mode == TitleSearchMode::Exact && page.contains(exactBlock))
        collected = collectSpans(Between(page, exactBlock, u"</p>"_s), MaxTitleHits, longest);
    else if (mode == TitleSearchMode::Fuzzy && page.contains(fuzzyCell))
        collected = collectTextCells(page, MaxTitleHits, longest);
    if (collected.isEmpty())
        return result;
    // A hit that itself holds the separator becomes several rows, as it always has.
    const QStringList hits = collected.split(u"|||"_s);
    collected.clear();
    result.hits.reserve(hits.size());
    for (const QString &hit : hits)
        result.hits.append(readHit(hit.left(MaxHitLength), mode));
    return result;
}

QUrl openableHitUrl(const QString &link)
{
    return webAddress(QUrl(link.trimmed(), QUrl::TolerantMode));
}

qsizetype TagNameLowercaser::append(QStringView piece)
{
    const qsizetype from = m_resume;
    qsizetype changedFrom = m_text.size();
    m_text.append(piece);
    TagScan scan = scanTags(m_text, from, m_probe);
    bool sameLengths = true;
    QChar *data = m_text.data();
    for (const Tag &tag : std::as_const(scan.tags)) {
        const qsizetype length = tag.end - tag.begin + 1;
        const QStringView tagText = QStringView(m_text).sliced(tag.begin, length);
        switch (caseOf(tagText)) {
        case TagCase::Lower:
            continue;
        case TagCase::AsciiUpper:
            lowerAsciiTag(data + tag.begin, length);
            break;
        case TagCase::Other:
            const QString lowered = loweredTag(tagText);
            if (lowered == tagText)
                continue;
            if (lowered.size() == length)
                std::copy(lowered.cbegin(), lowered.cend(), data + tag.begin);
            else
                sameLengths = false;
            break;
        }
        changedFrom = qMin(changedFrom, tag.begin);
    }
    if (!sameLengths) {
        // A character whose lower case is longer (U+0130) moves what follows.
        const QStringView text(m_text);
        QString tail;
        qsizetype at = from;
        for (const Tag &tag : std::as_const(scan.tags)) {
            const QStringView tagText = text.sliced(tag.begin, tag.end - tag.begin + 1);
            tail += text.sliced(at, tag.begin - at);
            tail += caseOf(tagText) == TagCase::Other ? loweredTag(tagText) : tagText.toString();
            at = tag.end + 1;
        }
        tail += text.sliced(at);
        m_text.truncate(from);
        m_text += tail;
        scan = scanTags(m_text, from, 0);
    }
    m_resume = scan.resume;
    m_probe = scan.probe;
    return changedFrom;
}

void TagNameLowercaser::clear()
{
    *this = TagNameLowercaser();
}

struct TitleSearch::ReceivedPage
{
    TagNameLowercaser page;
};

TitleSearch::TitleSearch(QObject *parent) : QObject(parent), m_exchange(new HttpExchange(this))
{
    connect(m_exchange, &HttpExchange::finished, this, &TitleSearch::onFinished);
    connect(m_exchange, &HttpExchange::failed, this, [this](const QString &message) {
        m_page.reset();
        Q_EMIT failed(message);
    });
}

TitleSearch::~TitleSearch() = default;

bool TitleSearch::start(const QString &title, TitleSearchMode mode, ModeSource modeNow)
{
    const QString query = titleQueryText(title);
    if (query.isEmpty())
        return false;
    cancel();
    const QString path = titleSearchPath(query, mode);
    if (path.isEmpty())
        return false;
    m_mode = mode;
    m_modeNow = std::move(modeNow);
    auto received = std::make_shared<ReceivedPage>();
    m_page = received;

    HttpExchange::Request request;
    request.server = serverAddress(Cfg::Servers::News);
    request.text = buildGetRequest(path, request.server.authority(), QString(), QString());
    // The page is kept once, in its lower-cased form, as it arrives.
    request.receive = HttpExchange::Receive::Stream;
    request.failureMessage = TitleSearchText::failed();
    // The page is complete once "</html>" is in the buffer with its tag names
    // lower-cased, so "</HTML>" counts too.
    request.completion = CompletionMarker::when([received](QByteArrayView, QStringView text) {
        const qsizetype changedFrom = received->page.append(text);
        const QString end = u"</html>"_s;
        return received->page.text().indexOf(end, qMax<qsizetype>(0, changedFrom - end.size() + 1)) >= 0;
    });
    m_exchange->start(request);
    return true;
}

void TitleSearch::cancel()
{
    m_exchange->abort();
    m_page.reset();
}

bool TitleSearch::isRunning() const
{
    return m_exchange->isRunning();
}

void TitleSearch::onFinished(const HttpReply &reply)
{
    const std::shared_ptr<ReceivedPage> received = std::exchange(m_page, nullptr);
    if (!received)
        return;
    // An error page, or a portal's, is no answer of the search.
    if (!reply.isSuccess()) {
        Q_EMIT failed(TitleSearchText::failed());
        return;
    }
    const TitleSearchMode mode = m_modeNow ? m_modeNow() : m_mode;
    Q_EMIT finished(parseTitlePage(received->page.text(), mode));
}

} // namespace zorvane
