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
        if (u >= 0x80)
            return TagCase::Other;
        if (u >= u'A' && u <= u'Z')
            result = TagCase::AsciiUpper;
        else if (u == u' ')
            break;
    }
    return result;
}

// What lowercaseTagNames makes of one tag; nothing when it stays as it is.
std::optional<QString> loweredTag(QStringView tag)
{
    if (caseOf(tag) == TagCase::Lower)
        return std::nullopt;
    const qsizetype blank = tag.indexOf(u' ');
    const QStringView head = blank < 0 ? tag : tag.left(blank + 1);
    QString lowered = head.toString().toLower() + tag.mid(head.size());
    if (lowered == tag)
        return std::nullopt;
    return lowered;
}

// Whether the text, all of it lower-cased, is one of the keys.
bool sameWhenLowered(QStringView text, const QStringList &keys)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (!ascii)
        return keys.contains(text.toString().toLower());
    for (const QString &key : keys) {
        if (key.size() != text.size())
            continue;
        qsizetype i = 0;
        while (i < text.size() && QChar(char16_t(QChar::toLower(text[i].unicode()))) == key[i])
            ++i;
        if (i == text.size())
            return true;
    }
    return false;
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
    bool hasInner; // another "<" after the first character
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
        bool hasInner = text[p + 1] == u'<' || (k > p + 2 && text.mid(p + 2, k - p - 2).contains(u'<'));
        while (k < n && text[k] != u'>' && !isLineBreak(text[k])) {
            hasInner = hasInner || text[k] == u'<';
            ++k;
        }
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
        scan.tags.append({p, k, hasInner});
        i = k + 1;
    }
}

// The ">" that closes a tag, searched from `from` on: its index, -1 when a
// line break comes first, -2 when more text is needed.
qsizetype innerTagEnd(QStringView text, qsizetype from)
{
    for (qsizetype k = from; k < text.size(); ++k) {
        if (text[k] == u'>')
            return k;
        if (isLineBreak(text[k]))
            return -1;
    }
    return -2;
}

// Calls visit(innerStart, innerEnd) for every "<" inside the tag other than
// its first character; innerEnd is as innerTagEnd gives it.
template <typename Visit>
void forEachInnerTag(QStringView text, const Tag &tag, Visit visit)
{
    if (!tag.hasInner)
        return;
    for (qsizetype r = text.indexOf(u'<', tag.begin + 1); r >= 0 && r < tag.end; r = text.indexOf(u'<', r + 1)) {
        // Up to the tag's own ">", unless the "<" sits right before it: then
        // the ">" at offset one does not count and the search goes on past it.
        visit(r, r + 2 <= tag.end ? tag.end : innerTagEnd(text, r + 2));
    }
}

using InnerTags = QMultiHash<size_t, QString>;
using OpenInnerTags = QList<std::pair<qsizetype, qsizetype>>;

bool containsInner(const InnerTags &inner, QStringView text)
{
    if (inner.isEmpty())
        return false;
    const size_t hash = qHash(text);
    for (auto it = inner.constFind(hash); it != inner.cend() && it.key() == hash; ++it) {
        if (*it == text)
            return true;
    }
    return false;
}

void insertInner(InnerTags &inner, QStringView text)
{
    if (!containsInner(inner, text))
        inner.insert(qHash(text), text.toString());
}

// Notes the inner tags of `tags` that are complete; keeps the others open.
void recordInnerTags(QStringView text, const QList<Tag> &tags, InnerTags &inner, OpenInnerTags &open)
{
    for (const Tag &tag : tags) {
        forEachInnerTag(text, tag, [&](qsizetype start, qsizetype end) {
            if (end >= 0)
                insertInner(inner, text.mid(start, end - start + 1));
            else if (end == -2)
                open.append({start, text.size()});
        });
    }
}

// Carries on the search for the ">" of the inner tags still open.
void resolveOpenInnerTags(QStringView text, InnerTags &inner, OpenInnerTags &open)
{
    for (qsizetype i = 0; i < open.size();) {
        auto &[start, probe] = open[i];
        const qsizetype end = innerTagEnd(text, probe);
        if (end == -2) {
            probe = text.size();
            ++i;
            continue;
        }
        if (end >= 0)
            insertInner(inner, text.mid(start, end - start + 1));
        open.removeAt(i);
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

    QString collected;
    if (mode == TitleSearchMode::Exact && page.contains(exactBlock))
        collected = collectSpans(Between(page, exactBlock, u"</p>"_s));
    else if (mode == TitleSearchMode::Fuzzy && page.contains(fuzzyCell))
        collected = collectTextCells(page);
    if (collected.isEmpty())
        return result;
    // A hit that itself holds the separator becomes several rows, as it always has.
    const QStringList hits = collected.split(u"|||"_s);
    result.hits.reserve(hits.size());
    for (const QString &hit : hits)
        result.hits.append(readHit(hit, mode));
    return result;
}

QUrl openableHitUrl(const QString &link)
{
    return webAddress(QUrl(link.trimmed(), QUrl::TolerantMode));
}

qsizetype TagNameLowercaser::append(QStringView piece)
{
    const qsizetype from = m_resume;
    m_text.append(piece);
    if (m_unsettled) {
        redoWholeBuffer();
        return 0;
    }

    TagScan scan = scanTags(m_text, from, m_probe);
    const QStringView text(m_text);
    struct Change
    {
        Tag tag;
        QString lowered; // null: ASCII letters, lowered where they stand
    };
    QList<Change> changes;
    bool innerTagsFinish = !m_openInner.isEmpty();
    bool collides = false;
    for (const Tag &tag : std::as_const(scan.tags)) {
        innerTagsFinish = innerTagsFinish || tag.hasInner;
        const QStringView tagText = text.mid(tag.begin, tag.end - tag.begin + 1);
        Change change{tag, QString()};
        switch (caseOf(tagText)) {
        case TagCase::Lower:
            continue;
        case TagCase::AsciiUpper:
            break;
        case TagCase::Other:
            if (std::optional<QString> lowered = loweredTag(tagText))
                change.lowered = std::move(*lowered);
            else
                continue;
            break;
        }
        // The whole-buffer pass replaces this text wherever it occurs, also
        // inside an earlier tag.
        collides = collides || containsInner(m_innerTags, tagText);
        changes.append(std::move(change));
    }
    if (!collides && innerTagsFinish && !changes.isEmpty()) {
        // Inner tags that finish now may read as one of the changed texts at
        // some point of that pass; compared ignoring case to be safe.
        QStringList innerKeys;
        const auto note = [&](qsizetype start, qsizetype end) {
            if (end >= 0)
                innerKeys.append(text.mid(start, end - start + 1).toString().toLower());
        };
        for (const auto &[start, probe] : std::as_const(m_openInner))
            note(start, innerTagEnd(text, probe));
        for (const Tag &tag : std::as_const(scan.tags))
            forEachInnerTag(text, tag, note);
        for (qsizetype i = 0; !collides && !innerKeys.isEmpty() && i < changes.size(); ++i) {
            const Tag &tag = changes[i].tag;
            collides = sameWhenLowered(text.mid(tag.begin, tag.end - tag.begin + 1), innerKeys);
        }
    }
    if (collides) {
        redoWholeBuffer();
        return 0;
    }

    bool sameLengths = true;
    for (const Change &change : std::as_const(changes)) {
        if (!change.lowered.isNull())
            sameLengths = sameLengths && change.lowered.size() == change.tag.end - change.tag.begin + 1;
    }
    if (sameLengths) {
        QChar *data = m_text.data();
        for (const Change &change : std::as_const(changes)) {
            if (change.lowered.isNull())
                lowerAsciiTag(data + change.tag.begin, change.tag.end - change.tag.begin + 1);
            else
                std::copy(change.lowered.cbegin(), change.lowered.cend(), data + change.tag.begin);
        }
    } else {
        // A character whose lower case is longer (U+0130) moves what follows.
        QString tail;
        qsizetype at = from;
        for (const Change &change : std::as_const(changes)) {
            const QStringView tagText = text.mid(change.tag.begin, change.tag.end - change.tag.begin + 1);
            tail += text.mid(at, change.tag.begin - at);
            tail += change.lowered.isNull() ? *loweredTag(tagText) : change.lowered;
            at = change.tag.end + 1;
        }
        tail += text.mid(at);
        m_text.truncate(from);
        m_text += tail;
        for (auto &open : m_openInner)
            open.second = open.first + 2;
        scan = scanTags(m_text, from, 0);
    }
    resolveOpenInnerTags(m_text, m_innerTags, m_openInner);
    recordInnerTags(m_text, scan.tags, m_innerTags, m_openInner);
    m_resume = scan.resume;
    m_probe = scan.probe;
    return from;
}

void TagNameLowercaser::clear()
{
    *this = TagNameLowercaser();
}

void TagNameLowercaser::redoWholeBuffer()
{
    m_text = lowercaseTagNames(m_text);
    m_innerTags.clear();
    m_openInner.clear();
    const TagScan scan = scanTags(m_text, 0, 0);
    // A tag whose text was changed inside another one first may have missed
    // its own turn; the next pass gives it one.
    m_unsettled = false;
    for (const Tag &tag : scan.tags) {
        if (loweredTag(QStringView(m_text).mid(tag.begin, tag.end - tag.begin + 1))) {
            m_unsettled = true;
            break;
        }
    }
    recordInnerTags(m_text, scan.tags, m_innerTags, m_openInner);
    m_resume = scan.resume;
    m_probe = scan.probe;
}

struct TitleSearch::ReceivedPage
{
    TagNameLowercaser page;
    qsizetype taken = 0; // received characters handed to `page` so far
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
    request.receive = HttpExchange::Receive::Text;
    request.failureMessage = TitleSearchText::failed();
    // The page is complete once "</html>" is in the buffer with its tag names
    // lower-cased, so "</HTML>" counts too.
    request.completion = CompletionMarker::when([received](const QByteArray &, const QString &text) {
        const qsizetype changedFrom = received->page.append(QStringView(text).mid(received->taken));
        received->taken = text.size();
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

void TitleSearch::onFinished()
{
    const std::shared_ptr<ReceivedPage> received = std::exchange(m_page, nullptr);
    if (!received)
        return;
    const TitleSearchMode mode = m_modeNow ? m_modeNow() : m_mode;
    Q_EMIT finished(parseTitlePage(received->page.text(), mode));
}

} // namespace zorvane
