#include "net/forum_login.h"

#include "net/bounded_get.h"
#include "net/cookie_jar.h"
#include "net/http_request.h"
#include "net/servers.h"
#include "text/between.h"
#include "text/gbk.h"
#include "text/text_file.h"
#include "text/text_utils.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringEncoder>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString LoginPath = u"/member.php?mod=logging&action=login"_s;
const QString SubmitPath = u"/member.php?mod=logging&action=login&loginsubmit=yes&inajax=1"_s;

// An avatar is a small picture; a server sending more is not sending one.
constexpr qint64 AvatarSizeLimit = 8 * 1024 * 1024;

QString site(const QString &forum, const QString &path)
{
    return u"http://"_s + forum + path;
}

// The cookie string after a reply; a header the jar cannot read leaves it as
// it was.
QString merged(const QString &reply, const QString &cookies)
{
    return mergeCookies(reply, cookies).value_or(cookies);
}

CompletionMarker completionOf(ForumLogin::Step step)
{
    switch (step) {
    case ForumLogin::Step::Get1:
        return CompletionMarker::inLowercaseText(u"</script>"_s);
    case ForumLogin::Step::Get:
        // The headers are enough; the page itself is never read.
        return CompletionMarker::inLowercaseText(u"\r\n\r\n"_s);
    case ForumLogin::Step::GetForm:
    case ForumLogin::Step::Sucess:
        break;
    }
    return CompletionMarker::inLowercaseText(u"</html>"_s);
}

} // namespace

namespace LoginSteps {

QString refusedText(const QString &triesLeft)
{
    return u"登录失败，你还可以尝试"_s + triesLeft + u"次。"_s;
}

QString encodeFormField(const QString &text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto appendByte = [](QString &out, quint8 b) {
        out += u'%';
        out += QLatin1Char(hex[b >> 4]);
        out += QLatin1Char(hex[b & 0x0F]);
    };
    QStringEncoder gbk("GB18030");
    QString out;
    out.reserve(text.size() * 6);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80) {
            if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'*'
                || c == u'-' || c == u'.' || c == u'_')
                out += QChar(c);
            else
                appendByte(out, quint8(c));
            continue;
        }
        // Every byte of a wider character, even a trail byte that happens to
        // be a letter or a digit.
        const qsizetype units = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
        for (const char b : QByteArray(gbk.encode(QStringView(text).mid(i, units))))
            appendByte(out, quint8(b));
        i += units - 1;
    }
    return out;
}

QString formRequest(const QString &forum)
{
    return buildGetRequest(LoginPath, forum, QString(), site(forum, u"/portal.php"_s));
}

FormPage readFormPage(const QString &reply)
{
    FormPage page;
    page.cookies = merged(reply, QString());
    const QString form = Between(reply, u"loginform"_s, u"</form>"_s);
    const QString field = Between(form, u"formhash"_s, u">"_s);
    page.formHash = Between(field, u"value=\""_s, u"\""_s);
    return page;
}

QString loginBody(const QString &formHash, const QString &userName, const QString &password)
{
    return u"formhash="_s + formHash + u"&username="_s + encodeFormField(userName) + u"&password="_s
           + encodeFormField(password) + u"&questionid=0&answer=&loginsubmit=%B5%C7%C2%BC"_s;
}

QString submitRequest(const QString &forum, const QString &body, const QString &cookies)
{
    return buildPostRequest(SubmitPath, forum, body, cookies, site(forum, LoginPath));
}

SubmitReply readSubmitReply(const QString &reply, const QString &cookies)
{
    SubmitReply result;
    // The forum's own count of the tries left says more than its lock-out
    // notice: it wins when both are there.
    if (reply.contains(u"loginperm"_s)) {
        result.outcome = SubmitReply::Outcome::Refused;
        result.triesLeft = Between(Between(reply, u"loginperm'"_s, u"}"_s), u"'"_s, u"'"_s);
    } else if (reply.contains(u"密码错误次数过多"_s)) {
        result.outcome = SubmitReply::Outcome::LockedOut;
    } else {
        result.cookies = merged(reply, cookies);
    }
    return result;
}

QString loginPageRequest(const QString &forum, const QString &cookies)
{
    return buildGetRequest(LoginPath, forum, cookies, site(forum, SubmitPath));
}

LoginPage readLoginPage(const QString &reply, const QString &cookies)
{
    return {merged(reply, cookies), reply.contains(u"Location"_s)};
}

QString profileRequest(const QString &forum, const QString &cookies, bool toSignIn)
{
    const QString path = toSignIn ? u"/plugin.php?id=dsu_paulsign:sign"_s : u"/portal.php"_s;
    return buildGetRequest(path, forum, cookies, site(forum, u"/portal.php"_s));
}

Profile readProfile(const QString &reply, const QString &cookies)
{
    Profile profile;
    profile.cookies = merged(reply, cookies);
    const QString block = Between(reply, u"<div id=\"um\">"_s, u"</div>"_s);
    profile.uid = profileUid(block);
    profile.group = Between(Between(reply, u"用户组:"_s, u"</p>"_s), u"<b>"_s, u"</b>"_s);
    profile.points = Between(Between(reply, u"<p>积分:"_s, u"/a>"_s), u">"_s, u"<"_s);
    profile.coins = Between(Between(reply, u"Kest币:"_s, u"枚"_s), u">"_s, u"<"_s);
    return profile;
}

QString profileUid(QStringView block)
{
    // What the patterns "uid-\d*.*html" (every match, case-insensitive, "."
    // short of CR and LF) and then "\d*" give, in one pass: a match runs from
    // "uid-" over its digits to the last "html" of the line, so a line's last
    // "html" is found once however many "uid-" the line holds.
    const auto caselessAt = [&](qsizetype at, QLatin1StringView word) { return zorvane::caselessAt(block, at, word); };
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto isLineBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    QString uid;
    qsizetype lineEnd = -1;  // the end of the line holding the current "uid-"
    qsizetype lastHtml = -1; // the last "html" on that line, or -1
    for (qsizetype at = 0; at + 4 <= block.size(); ++at) {
        if ((block[at] != u'u' && block[at] != u'U') || !caselessAt(at, "uid-"_L1))
            continue;
        if (at >= lineEnd) {
            lineEnd = at;
            while (lineEnd < block.size() && !isLineBreak(block[lineEnd]))
                ++lineEnd;
            lastHtml = -1;
            for (qsizetype h = lineEnd - 4; h >= at && lastHtml < 0; --h) {
                if ((block[h] == u'h' || block[h] == u'H') && caselessAt(h, "html"_L1))
                    lastHtml = h;
            }
        }
        qsizetype digitsEnd = at + 4;
        while (digitsEnd < lineEnd && isDigit(block[digitsEnd]))
            ++digitsEnd;
        if (lastHtml < digitsEnd) {
            // This "uid-" matches nothing; its digits hold no other "uid-".
            at = digitsEnd - 1;
            continue;
        }
        for (qsizetype k = at; k < lastHtml; ++k) {
            if (isDigit(block[k]))
                uid += block[k];
        }
        // The match took the line up to its last "html"; the rest of the line
        // can match nothing more.
        at = lineEnd - 1;
    }
    return uid;
}

QString avatarUrl(const QString &avatarServer, const QString &uid)
{
    return u"http://"_s + avatarServer + u"/avatar.php?uid="_s + uid + u"&size=small"_s;
}

} // namespace LoginSteps

ForumLogin::ForumLogin(QObject *parent)
    : QObject(parent)
    , m_exchange(new HttpExchange(this))
    , m_network(new QNetworkAccessManager(this))
{
    connect(m_exchange, &HttpExchange::finished, this, &ForumLogin::onReply);
    connect(m_exchange, &HttpExchange::failed, this, &ForumLogin::onFailure);
}

ForumLogin::~ForumLogin()
{
    abort();
}

void ForumLogin::start(const QString &userName, const QString &password)
{
    abort();
    m_loggedIn = false;
    m_record.userName = userName;
    m_record.password = password;
    m_pending = m_record;
    const ServerAddress forum = serverAddress(Cfg::Servers::Forum);
    send(Step::GetForm, forum, LoginSteps::formRequest(forum.authority()));
    Q_EMIT progress(QString::fromUtf16(LoginSteps::LoggingIn));
}

void ForumLogin::abort()
{
    m_exchange->abort();
    if (QNetworkReply *reply = std::exchange(m_avatarReply, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

bool ForumLogin::isRunning() const
{
    return m_exchange->isRunning() || m_avatarReply;
}

std::chrono::milliseconds ForumLogin::timeout() const
{
    return m_timeout.count() > 0 ? m_timeout : serverTimeout();
}

void ForumLogin::send(Step step, const ServerAddress &forum, const QString &requestText)
{
    m_step = step;
    HttpExchange::Request request;
    request.server = forum;
    request.text = requestText;
    request.completion = completionOf(step);
    request.failureMessage = QString::fromUtf16(LoginSteps::NetworkFailure);
    request.timeout = m_timeout;
    m_exchange->start(request);
}

void ForumLogin::onReply(const HttpReply &reply)
{
    using namespace LoginSteps;
    // An error page, or a captive portal sending every request elsewhere, is
    // not the forum answering; only the login page may redirect, to the
    // daily sign-in.
    if (!reply.isSuccess() && !(m_step == Step::Get && reply.isRedirect())) {
        onFailure();
        return;
    }
    // Every request goes where the settings say at that moment.
    const ServerAddress forum = serverAddress(Cfg::Servers::Forum);
    switch (m_step) {
    case Step::GetForm: {
        const FormPage page = readFormPage(reply.text);
        m_pending.cookies = page.cookies;
        const QString body = loginBody(page.formHash, m_pending.userName, m_pending.password);
        send(Step::Get1, forum, submitRequest(forum.authority(), body, m_pending.cookies));
        return;
    }
    case Step::Get1: {
        const SubmitReply answer = readSubmitReply(reply.text, m_pending.cookies);
        switch (answer.outcome) {
        case SubmitReply::Outcome::Refused:
            Q_EMIT failed(refusedText(answer.triesLeft));
            return;
        case SubmitReply::Outcome::LockedOut:
            Q_EMIT failed(QString::fromUtf16(LockedOut));
            return;
        case SubmitReply::Outcome::Accepted:
            break;
        }
        m_pending.cookies = answer.cookies;
        send(Step::Get, forum, loginPageRequest(forum.authority(), m_pending.cookies));
        return;
    }
    case Step::Get: {
        const LoginPage page = readLoginPage(reply.text, m_pending.cookies);
        m_pending.cookies = page.cookies;
        send(Step::Sucess, forum, profileRequest(forum.authority(), m_pending.cookies, page.toSignIn));
        Q_EMIT progress(QString::fromUtf16(FetchingProfile));
        return;
    }
    case Step::Sucess: {
        const Profile profile = readProfile(reply.text, m_pending.cookies);
        m_pending.cookies = profile.cookies;
        m_pending.avatarUrl = avatarUrl(serverAddress(Cfg::Servers::Avatar).authority(), profile.uid);
        m_pending.group = profile.group;
        m_pending.points = profile.points;
        m_pending.coins = profile.coins;
        fetchAvatar();
        return;
    }
    }
}

void ForumLogin::onFailure()
{
    Q_EMIT failed(QString::fromUtf16(LoginSteps::NetworkFailure));
}

void ForumLogin::fetchAvatar()
{
    QNetworkReply *reply = boundedGet(*m_network, QNetworkRequest(QUrl(m_pending.avatarUrl)), timeout(),
                                      AvatarSizeLimit, Redirects::SameHost);
    m_avatarReply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        m_avatarReply = nullptr;
        reply->deleteLater();
        avatarArrived(successBody(reply));
    });
}

void ForumLogin::avatarArrived(const QByteArray &bytes)
{
    // Whatever picture format the server sends is kept as it came. Without a
    // picture, or when it cannot be written, the earlier one stays and the
    // login still succeeds: the avatar only decorates the user area.
    if (!bytes.isEmpty()) {
        const QString path = avatarFilePath(AppFolder::current(), m_pending.userName);
        if (QDir().mkpath(QFileInfo(path).absolutePath()))
            writeFileAtomically(path, bytes);
    }
    m_record = m_pending;
    m_loggedIn = true;
    Q_EMIT succeeded(m_record);
}

} // namespace zorvane
