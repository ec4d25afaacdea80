#pragma once

#include "net/notice.h"
#include "settings/config_keys.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace zorvane {

class ServiceClient;

// The updater's argument from an update reply: its "|" fields in the order
// third, first, second ("a|b|c" gives "c|a|b"). Nullopt when the reply has
// fewer than three fields: then no updater can be started.
std::optional<QString> updaterArgument(const QString &updateReply);

// The notice reply, one notice per "<br>" line: the text before the first
// "|" and the link up to the second. An empty line keeps its index, so its
// entry stays empty. Lines from the MaxNotices-th on are left out. An empty
// reply (no network) gives the single notice "当前没有网络连接。".
inline constexpr qsizetype MaxNotices = 100;
QList<Notice> parseNotices(const QString &reply);

// The text every client shows when the service server could not be asked.
QString noConnectionNotice();

// A library text as the service server sends it counts one group per "\r\n"
// separator; a stored library file is that text followed by one "\r\n".
int libraryCount(const QByteArray &text);

// The two word libraries the service server keeps up to date.
enum class ServedLibrary { ErrorWords, SameWords };

struct LibraryCheck
{
    enum class Outcome {
        Unchanged,   // same version, no usable version, or an empty download
        Updated,     // file, count and version written
        WriteFailed, // the file or a setting could not be written; the stored
                     // version is left alone, so the next start tries again
    };

    ServedLibrary library = ServedLibrary::ErrorWords;
    Outcome outcome = Outcome::Unchanged;
    int count = 0;    // the stored count when Updated
    QString version;  // the version reply as compared
    QString failedAt; // the file that could not be written, when WriteFailed
};

// The four questions asked of the service server between the login and the
// main window, one after the other: is there a newer program, which notices
// to show, and is either word library out of date (then it is downloaded and
// stored). Every fetch goes through the ServiceClient, so nothing blocks.
class ServiceChecks : public QObject
{
    Q_OBJECT

public:
    enum class UpdatePolicy {
        HandOver, // an announced update ends the checks: the program hands over
        Continue, // report the update reply and carry on (no updater is started)
    };

    explicit ServiceChecks(ServiceClient &client, UpdatePolicy policy = UpdatePolicy::HandOver,
                           QObject *parent = nullptr);

    // Runs the checks once; later calls do nothing.
    void start();

    // True from the moment the notice reply has been handled. The logout
    // notice at exit depends on it: a hand-over to the updater sends none.
    bool passedNoticeStep() const { return m_passedNoticeStep; }
    const QList<Notice> &notices() const { return m_notices; }

Q_SIGNALS:
    // The status line's text for the step now running ("检查更新", …).
    void progress(const QString &text);
    // The update reply, whatever it holds (empty: no update).
    void updateChecked(const QString &reply);
    // The update reply named something the updater would not install (not
    // a list, nothing newer, no key to check it with): the checks go on as
    // for an empty reply, and `why` says what it was.
    void updateIgnored(const QString &why);
    // An update is announced and the checks stop here. The shell shows its
    // message, starts the updater with `argument` when there is one, runs the
    // shutdown without the logout notice, and ends the program.
    void handOverRequested(const std::optional<QString> &argument);
    void libraryChecked(const LibraryCheck &check);
    // Every check is done: the main window opens with these notices.
    void finished(const QList<Notice> &notices);

private:
    enum class Step { Idle, Update, Notices, Libraries, Done, HandedOver };

    void checkUpdate();
    void checkNotices();
    void checkLibrary(ServedLibrary library, std::function<void()> next);
    void storeLibrary(ServedLibrary library, const QString &version, const QByteArray &text);
    void finish();

    ServiceClient &m_client;
    UpdatePolicy m_policy;
    Step m_step = Step::Idle;
    bool m_passedNoticeStep = false;
    QList<Notice> m_notices;
};

// How long the logout notice may keep a closing program alive.
inline constexpr std::chrono::milliseconds logoutNoticeLimit{2000};

// Tells the service server that the user leaves. `done` runs once, when the
// server answered or failed, and at the latest after logoutNoticeLimit (or
// the shorter time-out of the settings), so an unanswering server never keeps
// the program alive. `done` does not run if `context` died first.
void sendLogoutNotice(QObject *context, std::function<void()> done);

} // namespace zorvane
