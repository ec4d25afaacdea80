#include "net/service_checks.h"

#include "net/servers.h"
#include "net/service_client.h"
#include "net/update_list.h"
#include "settings/app_folder.h"
#include "text/text_file.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// Anything longer is an error page rather than a version text.
constexpr qsizetype MaxVersionLength = 29;

struct LibraryTraits
{
    QString checking; // progress while the version is asked
    QString updating; // progress while the library downloads
    QString versionPath;
    QString dataPath;
    QStringView file;
    ConfigKey versionKey;
    ConfigKey countKey;
};

LibraryTraits traits(ServedLibrary library)
{
    if (library == ServedLibrary::ErrorWords) {
        return {
            .checking = u"检查错别字库更新"_s,
            .updating = u"正在更新错别字库"_s,
            .versionPath = ServicePath::errorWordsVersion(),
            .dataPath = ServicePath::errorWords(),
            .file = u"\\data\\error.dat",
            .versionKey = Cfg::vision::ErrorWord,
            .countKey = Cfg::vision::ErrorWordNums,
        };
    }
    return {
        .checking = u"检查同义字库更新"_s,
        .updating = u"正在更新同义字库"_s,
        .versionPath = ServicePath::sameWordsVersion(),
        .dataPath = ServicePath::sameWords(),
        .file = u"\\data\\same.dat",
        .versionKey = Cfg::vision::SameWord,
        .countKey = Cfg::vision::SameWordNums,
    };
}

// Why the updater would install nothing from this reply, or nothing when it
// would. Ending the program for a reply the updater then refuses (a captive
// portal's page, a list of packages installed already, no key to check them
// with) would end it at every start.
QString handOverRefusal(const QString &reply, const QString &installedStamp)
{
    // The reply itself stays out of the log: it may hold anything.
    const UpdateList list = parseUpdateList(reply);
    if (!list.refused.isEmpty())
        return u"the update list holds %1 entry(s) the updater refuses"_s.arg(list.refused.size());
    if (list.packages.isEmpty())
        return u"the update reply (%1 characters) lists no package"_s.arg(reply.size());
    if (pendingPackages(list.packages, installedStamp).isEmpty())
        return u"none of the %1 listed package(s) is newer than the installed stamp"_s.arg(list.packages.size());
    if (!QFileInfo::exists(updateKeyFile()))
        return u"no update key %1 to check packages with"_s.arg(updateKeyFile());
    return {};
}

} // namespace

std::optional<QString> updaterArgument(const QString &updateReply)
{
    const QStringList fields = updateReply.split(u'|');
    if (fields.size() < 3)
        return std::nullopt;
    return fields.at(2) + u'|' + fields.at(0) + u'|' + fields.at(1);
}

QString noConnectionNotice()
{
    return u"当前没有网络连接。"_s;
}

QList<Notice> parseNotices(const QString &reply)
{
    if (reply.isEmpty())
        return {Notice{noConnectionNotice(), QString()}};
    QList<Notice> notices;
    const QString separator = u"<br>"_s;
    // Lines past the last notice shown are not even cut out.
    qsizetype at = 0;
    for (qsizetype i = 0; i < MaxNotices && at <= reply.size(); ++i) {
        qsizetype end = reply.indexOf(separator, at);
        if (end < 0)
            end = reply.size();
        const QStringView line = QStringView(reply).sliced(at, end - at);
        at = end + separator.size();
        if (line.isEmpty())
            continue;
        if (notices.size() <= i)
            notices.resize(i + 1);
        const qsizetype bar = line.indexOf(u'|');
        QStringView link;
        if (bar >= 0) {
            link = line.sliced(bar + 1);
            if (const qsizetype second = link.indexOf(u'|'); second >= 0)
                link = link.first(second);
        }
        notices[i] = Notice{(bar < 0 ? line : line.first(bar)).toString(), link.toString()};
    }
    return notices;
}

int libraryCount(const QByteArray &text)
{
    return int(text.count("\r\n"));
}

ServiceChecks::ServiceChecks(ServiceClient &client, UpdatePolicy policy, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_policy(policy)
{}

void ServiceChecks::start()
{
    if (m_step != Step::Idle)
        return;
    checkUpdate();
}

void ServiceChecks::checkUpdate()
{
    m_step = Step::Update;
    Q_EMIT progress(u"检查更新"_s);
    const QString stamp = configText(Cfg::vision::update);
    m_client.fetchText(ServicePath::updateList(stamp), this, [this, stamp](const QString &reply) {
        Q_EMIT updateChecked(reply);
        if (m_policy == UpdatePolicy::HandOver) {
            const QString refusal = handOverRefusal(reply, stamp);
            if (refusal.isEmpty()) {
                m_step = Step::HandedOver;
                Q_EMIT handOverRequested(updaterArgument(reply));
                return;
            }
            // Blanks are the ordinary "no update"; anything else is worth a word.
            if (!reply.trimmed().isEmpty())
                Q_EMIT updateIgnored(refusal);
        }
        checkNotices();
    });
}

void ServiceChecks::checkNotices()
{
    m_step = Step::Notices;
    m_client.fetchText(ServicePath::notice(), this, [this](const QString &reply) {
        m_notices = parseNotices(reply);
        m_passedNoticeStep = true;
        m_step = Step::Libraries;
        checkLibrary(ServedLibrary::ErrorWords,
                     [this] { checkLibrary(ServedLibrary::SameWords, [this] { finish(); }); });
    });
}

void ServiceChecks::checkLibrary(ServedLibrary library, std::function<void()> next)
{
    const LibraryTraits t = traits(library);
    Q_EMIT progress(t.checking);
    m_client.fetchText(t.versionPath, this, [this, library, next = std::move(next)](const QString &reply) {
        const LibraryTraits t = traits(library);
        // The settings store gives values back trimmed; a version compared
        // untrimmed would never match and the library would download at
        // every start.
        const QString version = reply.trimmed();
        // An empty reply is a failed fetch, not a version: asking for the
        // library anyway would wait out a second time-out when the server is
        // away, and store whatever came back under an empty version.
        if (version.isEmpty() || version.size() > MaxVersionLength || version == configText(t.versionKey)) {
            Q_EMIT libraryChecked({library, LibraryCheck::Outcome::Unchanged, 0, version, {}});
            next();
            return;
        }
        Q_EMIT progress(t.updating);
        m_client.fetchBytes(
            t.dataPath, this,
            [this, library, version, next](const QByteArray &text) {
                storeLibrary(library, version, text);
                next();
            },
            ServiceClient::LibraryBound);
    });
}

void ServiceChecks::storeLibrary(ServedLibrary library, const QString &version, const QByteArray &text)
{
    if (text.isEmpty()) {
        Q_EMIT libraryChecked({library, LibraryCheck::Outcome::Unchanged, 0, version, {}});
        return;
    }
    const LibraryTraits t = traits(library);
    const QString path = AppFolder::current().path(t.file);
    const int count = libraryCount(text);
    // The bytes are stored as received (GBK); the version goes last, so an
    // update cut short is fetched again at the next start.
    if (!writeFileAtomically(path, text + "\r\n")) {
        Q_EMIT libraryChecked({library, LibraryCheck::Outcome::WriteFailed, 0, version, path});
        return;
    }
    if (!setConfigInt(t.countKey, count) || !setConfigText(t.versionKey, version)) {
        Q_EMIT libraryChecked(
            {library, LibraryCheck::Outcome::WriteFailed, 0, version, AppFolder::current().settingsFile()});
        return;
    }
    Q_EMIT libraryChecked({library, LibraryCheck::Outcome::Updated, count, version, {}});
}

void ServiceChecks::finish()
{
    m_step = Step::Done;
    Q_EMIT finished(m_notices);
}

void sendLogoutNotice(QObject *context, std::function<void()> done)
{
    auto *client = new ServiceClient(context);
    client->setTimeout(std::min(logoutNoticeLimit, serverTimeout()));
    // The reply means nothing; only its end (or the time-out) matters.
    client->fetchBytes(ServicePath::logout(), context, [client, done = std::move(done)](const QByteArray &) {
        client->deleteLater();
        done();
    });
}

} // namespace zorvane
