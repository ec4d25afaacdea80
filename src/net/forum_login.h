#pragma once

#include "net/http_exchange.h"
#include "net/user_record.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

namespace zorvane {

// The forum login, one step at a time. Each step is a request on a new
// connection to the forum (key "Forum" of section "Servers") and a reader of
// the reply received up to the step's completion marker. The readers take
// the reply as it arrived and give what the next step needs; they keep no
// state and read any text without failing.
namespace LoginSteps {

// What the user sees.
inline constexpr char16_t LoggingIn[] = u"登录中";
inline constexpr char16_t FetchingProfile[] = u"获取个人资料";
inline constexpr char16_t NetworkFailure[] = u"网络故障，请稍后重试。";
inline constexpr char16_t LockedOut[] = u"错误次数过多，请15分钟后重试。";
QString refusedText(const QString &triesLeft);

// User name and password as a form field: every GBK byte except letters,
// digits and "*", "-", ".", "_" as "%" and two upper-case hexadecimal
// digits. A Chinese character comes out as its two bytes, a blank as "%20",
// and "&", "=", "+" and "%" can no longer cut or change the field.
QString encodeFormField(const QString &text);

// Step "getform": the login page, complete at "</html>".
QString formRequest(const QString &forum);
struct FormPage
{
    QString cookies; // compact form
    QString formHash;
};
FormPage readFormPage(const QString &reply);

// Step "get1": the credentials, complete at "</script>".
QString loginBody(const QString &formHash, const QString &userName, const QString &password);
QString submitRequest(const QString &forum, const QString &body, const QString &cookies);
struct SubmitReply
{
    enum class Outcome { Accepted, Refused, LockedOut };
    Outcome outcome = Outcome::Accepted;
    QString triesLeft; // when refused
    QString cookies;   // when accepted
};
SubmitReply readSubmitReply(const QString &reply, const QString &cookies);

// Step "get": the login page again, with the login cookie; complete at the
// end of the headers. A redirect sends the last step to the daily sign-in.
QString loginPageRequest(const QString &forum, const QString &cookies);
struct LoginPage
{
    QString cookies;
    bool toSignIn = false;
};
LoginPage readLoginPage(const QString &reply, const QString &cookies);

// Step "sucess": a page with the user's profile block, complete at "</html>".
QString profileRequest(const QString &forum, const QString &cookies, bool toSignIn);
struct Profile
{
    QString cookies;
    QString uid; // every digit of the profile link
    QString group;
    QString points;
    QString coins;
};
Profile readProfile(const QString &reply, const QString &cookies);

// Every digit of the profile links in the profile block: the digits of the
// text from each "uid-" to the last "html" of its line.
QString profileUid(QStringView block);

QString avatarUrl(const QString &avatarServer, const QString &uid);

} // namespace LoginSteps

// The whole login dialogue with the forum, then the avatar picture. Runs on
// the event loop and never blocks; every exchange and the avatar fetch have
// the time-out. Progress, refusal and failure arrive as the texts the user
// is to see; the window decides how to show them.
class ForumLogin : public QObject
{
    Q_OBJECT

public:
    // The names the steps go by: "getform", "get1", "get", "sucess".
    enum class Step { GetForm, Get1, Get, Sucess };
    Q_ENUM(Step)

    explicit ForumLogin(QObject *parent = nullptr);
    ~ForumLogin() override;

    // The record of the run: what the saved login held, then what the last
    // successful login found.
    const UserRecord &record() const { return m_record; }
    void setRecord(const UserRecord &record) { m_record = record; }

    // Starts over from step "getform" with these credentials (they become the
    // record's). A running login is dropped without a signal.
    void start(const QString &userName, const QString &password);
    void abort();

    bool isRunning() const;
    // True once the last step succeeded.
    bool isLoggedIn() const { return m_loggedIn; }
    // The step running, or the one that failed (a refused password stays at
    // Get1); the next start begins at GetForm again.
    Step step() const { return m_step; }

    // Zero: the settings' time-out at the start of each exchange.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

Q_SIGNALS:
    void progress(const QString &text);
    void failed(const QString &text);
    // The record with the profile; the avatar picture is written (or was
    // not to be had) by then.
    void succeeded(const UserRecord &record);

private:
    void send(Step step, const ServerAddress &forum, const QString &requestText);
    void onReply(const HttpReply &reply);
    void onFailure();
    void fetchAvatar();
    void avatarArrived(const QByteArray &bytes);
    std::chrono::milliseconds timeout() const;

    HttpExchange *m_exchange;
    QNetworkAccessManager *m_network;
    UserRecord m_record;
    UserRecord m_pending; // the record being filled by the running login
    Step m_step = Step::GetForm;
    bool m_loggedIn = false;
    QPointer<QNetworkReply> m_avatarReply;
    std::chrono::milliseconds m_timeout{0};
};

} // namespace zorvane
