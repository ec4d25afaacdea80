// The whole update as a user lives it: the real programs on the X server of
// xvfb-run, the real service server (scripts/serve-content on a copy of the
// example content) and packages released by patchwell-pack. An installation
// of version 1 finds version 2, Zorvane hands over to Patchwell, Patchwell
// installs the package and its OK starts the new Zorvane. The windows are
// driven from outside with xdotool; what the programs did is read from what
// they leave behind: files, settings, nginx's access log and their log lines.

#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "testsupport/desktop_user.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/process_reaper.h"
#include "testsupport/served_content.h"
#include "text/gbk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString LoginTitle = u"^Zorvane$"_s; // the login window, and Zorvane's message boxes
const QString MainTitle = u"Quillbox"_s;
const QString UpdaterTitle = u"^Zorvane Patchwell"_s; // Patchwell's window and its message boxes

const QString Name1 = u"1.0"_s;
const QString Stamp1 = u"20250101"_s;
const QString Name2 = u"2.0"_s;
const QString Stamp2 = u"20250301"_s;
// The typo library the maker publishes with version 2.
const QByteArray TypoVersion = "2025.03.01";

constexpr int Patience = 60000; // for any one step, on a loaded machine

const QByteArray ListQuery = "/index.php?m=show&action=upnew&time=";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

quint16 closedPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 1;
}

// One line of nginx's access log (combined format).
struct Request
{
    QByteArray target;
    int status = 0;
    qint64 bytes = 0;
};

// "TARGET STATUS BYTES" per request, for comparisons that show what differs.
QByteArrayList summary(const QList<Request> &requests)
{
    QByteArrayList lines;
    for (const Request &request : requests)
        lines << request.target + ' ' + QByteArray::number(request.status) + ' ' + QByteArray::number(request.bytes);
    return lines;
}

QList<Request> requestsIn(const QByteArray &accessLog)
{
    QList<Request> requests;
    for (const QByteArray &line : accessLog.split('\n')) {
        // ADDRESS - - [TIME] "GET TARGET HTTP/1.1" STATUS BYTES "REFERER" "AGENT"
        const qsizetype open = line.indexOf('"');
        const qsizetype close = line.indexOf('"', open + 1);
        if (open < 0 || close < 0)
            continue;
        const QList<QByteArray> request = line.mid(open + 1, close - open - 1).simplified().split(' ');
        const QList<QByteArray> answer = line.mid(close + 1).simplified().split(' ');
        requests << Request{request.value(1), answer.value(0).toInt(), answer.value(1).toLongLong()};
    }
    return requests;
}

} // namespace

class TestUpdateEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void update_installsVersion2AndStartsIt();
    void update_refusesAPackageSignedWithAnotherKey();

private:
    void prepare(const MinisignTool &signerOf2);
    void release(const QString &name, const QString &stamp, const QByteArray &script, const QStringList &files,
                 const MinisignTool &signer);
    void startZorvane();
    void handOverToPatchwell();
    void confirmUpdate();

    QString app(const QString &relative = {}) const { return m_root->filePath(u"app/"_s + relative); }
    QString content(const QString &relative) const { return m_content->filePath(relative); }
    QString logFile() const { return m_root->filePath(u"programs.log"_s); }
    QByteArray log() const { return readAll(logFile()); }
    QList<Request> served(const QByteArray &prefix) const;
    qsizetype logoutNotices() const { return served("/index.php?m=show&action=logout").size(); }
    QByteArray diagnostics() const;

    quint32 awaitWindow(const QString &title, qint64 pid = 0, quint32 besides = 0) const;
    bool acknowledge(quint32 box, const QString &title, qint64 pid) const;
    bool awaitLog(const QByteArray &line) const;
    int awaitExit(qint64 pid);

    // Patchwell and the Zorvane it starts are started detached: they become
    // this process's children, and cleanup() ends whatever is left of them.
    ProcessReaper m_reaper;
    // Connected from the start: the X server never resets under the programs.
    DesktopUser m_user;
    QTemporaryDir m_keys;
    MinisignTool m_maker{m_keys.path()};
    MinisignTool m_stranger{m_keys.path()};
    QByteArray m_program1; // the built Zorvane, installed as version 1
    QByteArray m_program2; // the Zorvane of package 2.0

    std::unique_ptr<QTemporaryDir> m_root; // the installation, the programs' log, their home
    std::unique_ptr<QTemporaryDir> m_content;
    std::unique_ptr<ServedContent> m_server;
    std::unique_ptr<QProcess> m_zorvane; // the one the test starts
    quint32 m_updaterWindow = 0;
    qint64 m_updaterPid = 0;
};

void TestUpdateEndToEnd::initTestCase()
{
    if (!m_user.isValid())
        QSKIP("needs an X display and xdotool: run it under xvfb-run, as CTest does");
    QVERIFY(m_reaper.isValid());
    QVERIFY(m_keys.isValid() && m_maker.generate() && m_stranger.generate(u"stranger"_s));
    m_program1 = readAll(QString::fromUtf8(ZORVANE_APP_DIR "/Zorvane"));
    QVERIFY(!m_program1.isEmpty());
    // The same program with a release note after its last byte, which the
    // loader never reads: the test tells the versions apart by their bytes.
    m_program2 = m_program1 + "\nZorvane 2.0\n";
}

void TestUpdateEndToEnd::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_content = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid() && m_content->isValid());
    QVERIFY(QDir(m_root->path()).mkdir(u"home"_s));
    QVERIFY(QDir(m_root->path()).mkdir(u"runtime"_s)
            && QFile::setPermissions(m_root->filePath(u"runtime"_s),
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(ServedContent::copyFolder(QString::fromUtf8(ZORVANE_APP_DIR), app()));
    QVERIFY(
        ServedContent::copyFolder(QString::fromUtf8(ZORVANE_SOURCE_DIR "/deploy/example-content"), m_content->path()));
}

void TestUpdateEndToEnd::cleanup()
{
    if (m_zorvane) {
        m_zorvane->kill();
        m_zorvane->waitForFinished();
        m_zorvane.reset();
    }
    m_server.reset();
    m_reaper.endAll();
    AppFolder::setCurrent(AppFolder());
    m_content.reset();
    m_root.reset();
}

// The service content holds 1.0 and, released after it, 2.0, whose script
// puts the new program in place; the installation runs 1.0.
void TestUpdateEndToEnd::prepare(const MinisignTool &signerOf2)
{
    // The maker publishes a larger typo library with version 2.
    const QByteArray typos = readAll(content(u"data/errorwords.txt"_s)) + "\r\n" + toGbk(u"按步就班|按部就班");
    QVERIFY(writeAll(content(u"data/errorwords.txt"_s), typos));
    QVERIFY(writeAll(content(u"show/errorwords.txt"_s), TypoVersion));

    release(Name1, Stamp1, "true\n", {}, m_maker);
    const QString program2 = m_root->filePath(u"Zorvane-2.0"_s);
    QVERIFY(writeAll(program2, m_program2));
    release(Name2, Stamp2, "mv -f update/1 Zorvane && chmod 755 Zorvane\n", {program2}, signerOf2);
    if (QTest::currentTestFailed())
        return;

    ServedContent::openToWorkers(m_content->path());
    m_server = std::make_unique<ServedContent>();
    QVERIFY2(m_server->start(m_content->path()), m_server->output().constData());

    // Version 1 is recorded as Patchwell records an installed package: its
    // name and its stamp. The stamp is what the update query sends, and the
    // service server answers it with upnew/20250101.txt, the packages
    // released after 1.0: 2.0 alone (an empty stamp would get the whole
    // list, 1.0 again among it). Every server but the service is a closed
    // port.
    AppFolder::setCurrent(AppFolder(app()));
    QVERIFY(writeAll(app(u"setting/update.pub"_s), m_maker.publicKey()));
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(m_server->port())));
    const QString closed = u"127.0.0.1:"_s + QString::number(closedPort());
    for (const ConfigKey &server :
         {Cfg::Servers::Forum, Cfg::Servers::Avatar, Cfg::Servers::Relay, Cfg::Servers::Translate,
          Cfg::Servers::TranslateAddress, Cfg::Servers::News, Cfg::Servers::Alexa, Cfg::Servers::PageRank,
          Cfg::Servers::Baidu, Cfg::Servers::Google, Cfg::Servers::Bing, Cfg::Servers::Soso, Cfg::Servers::Sogou,
          Cfg::Servers::LinkStats})
        QVERIFY(setConfigText(server, closed));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 10));
    QVERIFY(setConfigText(Cfg::vision::vision, Name1) && setConfigText(Cfg::vision::update, Stamp1));
}

void TestUpdateEndToEnd::release(const QString &name, const QString &stamp, const QByteArray &script,
                                 const QStringList &files, const MinisignTool &signer)
{
    const QString scriptFile = m_root->filePath(name + u".sh"_s);
    QVERIFY(writeAll(scriptFile, script));
    QProcess pack;
    pack.setProcessChannelMode(QProcess::MergedChannels);
    pack.start(QString::fromUtf8(ZORVANE_APP_DIR "/patchwell-pack"),
               QStringList{u"--sign"_s, signer.secretKeyPath(), m_content->path(), name, stamp, scriptFile} + files);
    QVERIFY2(pack.waitForFinished(Patience) && pack.exitStatus() == QProcess::NormalExit && pack.exitCode() == 0,
             pack.readAll().constData());
}

void TestUpdateEndToEnd::startZorvane()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its own single instance, and nothing written outside the test's folder.
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_root->filePath(u"runtime"_s));
    for (const QString &variable : {u"XDG_CONFIG_HOME"_s, u"XDG_CACHE_HOME"_s, u"XDG_DATA_HOME"_s})
        environment.insert(variable, m_root->filePath(u"home"_s));
    environment.insert(u"QT_LOGGING_RULES"_s, u"zorvane.startup.info=true;patchwell.update.info=true"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    if (!environment.contains(u"QTWEBENGINE_CHROMIUM_FLAGS"_s))
        environment.insert(u"QTWEBENGINE_CHROMIUM_FLAGS"_s, u"--no-sandbox --disable-gpu"_s);

    m_zorvane = std::make_unique<QProcess>();
    m_zorvane->setProcessEnvironment(environment);
    m_zorvane->setWorkingDirectory(app());
    // Patchwell and the Zorvane it starts inherit this output: one file holds
    // the log lines of all three, in order.
    m_zorvane->setProcessChannelMode(QProcess::MergedChannels);
    m_zorvane->setStandardOutputFile(logFile(), QIODevice::Append);
    m_zorvane->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_zorvane->start(app(u"Zorvane"_s), {});
    QVERIFY2(m_zorvane->waitForStarted(), qPrintable(m_zorvane->errorString()));
}

// Zorvane, started as a guest, announces the update, starts Patchwell and
// ends without a goodbye to the service server; Patchwell announces what it
// found.
void TestUpdateEndToEnd::handOverToPatchwell()
{
    startZorvane();
    if (QTest::currentTestFailed())
        return;
    const qint64 zorvane = m_zorvane->processId();
    const quint32 login = awaitWindow(LoginTitle, zorvane);
    QVERIFY2(login, diagnostics().constData());
    // The guest button is the right half of the login window's bottom row,
    // above its margin of 18 pixels.
    const QSize size = m_user.windowSize(login);
    QVERIFY(m_user.click(login, {size.width() * 3 / 4, size.height() - 24}));
    QVERIFY2(awaitLog("service checks started for a guest"), diagnostics().constData());

    const quint32 announcement = awaitWindow(LoginTitle, zorvane, login);
    QVERIFY2(announcement, diagnostics().constData());
    QVERIFY2(acknowledge(announcement, LoginTitle, zorvane), diagnostics().constData());
    QVERIFY2(m_zorvane->waitForFinished(Patience), diagnostics().constData());
    QCOMPARE(m_zorvane->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_zorvane->exitCode(), 0);
    QVERIFY2(log().contains("updater started"), diagnostics().constData());
    QCOMPARE(logoutNotices(), 0);

    m_updaterWindow = awaitWindow(UpdaterTitle);
    QVERIFY2(m_updaterWindow, diagnostics().constData());
    m_updaterPid = m_user.windowPid(m_updaterWindow);
    QVERIFY(m_updaterPid > 0);
}

// The user confirms Patchwell's "found 1 update": its window takes over.
void TestUpdateEndToEnd::confirmUpdate()
{
    const quint32 found = m_updaterWindow;
    QVERIFY2(acknowledge(found, UpdaterTitle, m_updaterPid), diagnostics().constData());
    m_updaterWindow = awaitWindow(UpdaterTitle, m_updaterPid, found);
    QVERIFY2(m_updaterWindow, diagnostics().constData());
}

void TestUpdateEndToEnd::update_installsVersion2AndStartsIt()
{
    prepare(m_maker);
    if (QTest::currentTestFailed())
        return;
    QElapsedTimer clock;
    clock.start();
    handOverToPatchwell();
    if (QTest::currentTestFailed())
        return;
    confirmUpdate();
    if (QTest::currentTestFailed())
        return;

    // Patchwell installs: its script puts the new program in place, then the
    // version is recorded.
    QVERIFY2(awaitLog("version 2.0 recorded"), diagnostics().constData());
    QCOMPARE(configText(Cfg::vision::vision), Name2);
    QCOMPARE(configText(Cfg::vision::update), Stamp2);
    QCOMPARE(readAll(app(u"Zorvane"_s)), m_program2);
    QVERIFY(QFileInfo(app(u"Zorvane"_s)).isExecutable());

    // Its OK starts the new program, which reaches its main window.
    const QSize size = m_user.windowSize(m_updaterWindow);
    QVERIFY(m_user.click(m_updaterWindow, {size.width() - 28, size.height() - 22}));
    QCOMPARE(awaitExit(m_updaterPid), 0);
    const quint32 login = awaitWindow(LoginTitle);
    QVERIFY2(login, diagnostics().constData());
    const qint64 zorvane = m_user.windowPid(login);
    QCOMPARE(readAll(u"/proc/%1/exe"_s.arg(zorvane)), m_program2);
    const QSize loginSize = m_user.windowSize(login);
    QVERIFY(m_user.click(login, {loginSize.width() * 3 / 4, loginSize.height() - 24}));
    QVERIFY2(awaitLog("main window ready with its editor"), diagnostics().constData());
    const qint64 elapsed = clock.elapsed();
    const quint32 main = awaitWindow(MainTitle, zorvane);
    QVERIFY2(main, diagnostics().constData());
    qInfo("the whole update, from the start of Zorvane 1.0 to the main window of 2.0: %lld ms", elapsed);

    // Nothing is offered after 2.0: Zorvane and Patchwell asked with 1.0's
    // stamp and were offered 2.0, the new Zorvane asked with 2.0's and got
    // the empty reply.
    const QByteArray offer = QByteArray::number(readAll(content(u"upnew/"_s + Stamp1 + u".txt"_s)).size());
    const QByteArray asked1 = ListQuery + Stamp1.toUtf8() + " 200 ";
    QCOMPARE(summary(served(ListQuery)),
             (QByteArrayList{asked1 + offer, asked1 + offer, ListQuery + Stamp2.toUtf8() + " 200 0"}));

    // The main window shows the content's notices, and the new libraries
    // are stored.
    const QList<Request> notices = served("/index.php?m=show&action=notice");
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices[0].bytes, readAll(content(u"show/notice.txt"_s)).size());
    QVERIFY2(log().contains(", 2 notices"), diagnostics().constData());
    const QByteArray typos = readAll(content(u"data/errorwords.txt"_s));
    QCOMPARE(readAll(app(u"data/error.dat"_s)), typos + "\r\n");
    QCOMPARE(configText(Cfg::vision::ErrorWord).toUtf8(), TypoVersion);
    QCOMPARE(configInt(Cfg::vision::ErrorWordNums), int(typos.count("\r\n")));
    QCOMPARE(readAll(app(u"data/same.dat"_s)), readAll(content(u"data/samewords.txt"_s)) + "\r\n");
    QCOMPARE(configText(Cfg::vision::SameWord).toUtf8(), readAll(content(u"show/samewords.txt"_s)));

    // Closed, it ends and says goodbye to the service server, once.
    QVERIFY(m_user.close(main));
    QCOMPARE(awaitExit(zorvane), 0);
    QTRY_COMPARE_WITH_TIMEOUT(logoutNotices(), 1, Patience);
}

void TestUpdateEndToEnd::update_refusesAPackageSignedWithAnotherKey()
{
    prepare(m_stranger);
    if (QTest::currentTestFailed())
        return;
    handOverToPatchwell();
    if (QTest::currentTestFailed())
        return;
    confirmUpdate();
    if (QTest::currentTestFailed())
        return;

    QVERIFY2(awaitLog("update stopped: signature made with another key"), diagnostics().constData());
    // Refused on its signature alone: the package itself was never fetched.
    const QByteArray signature =
        "/packages/2.0.md.minisig 200 " + QByteArray::number(QFileInfo(content(u"packages/2.0.md.minisig"_s)).size());
    QCOMPARE(summary(served("/packages/")), QByteArrayList{signature});
    QCOMPARE(readAll(app(u"Zorvane"_s)), m_program1);
    QCOMPARE(configText(Cfg::vision::vision), Name1);
    QCOMPARE(configText(Cfg::vision::update), Stamp1);
    // Refused before it took its name or was split.
    const QStringList left = QDir(app(u"update"_s)).entryList(QDir::Files);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));

    // The user closes the window: Patchwell ends.
    QVERIFY(m_user.close(m_updaterWindow));
    QCOMPARE(awaitExit(m_updaterPid), 0);
}

QList<Request> TestUpdateEndToEnd::served(const QByteArray &prefix) const
{
    QList<Request> matching;
    for (const Request &request : requestsIn(readAll(m_server->accessLog()))) {
        if (request.target.startsWith(prefix))
            matching << request;
    }
    return matching;
}

QByteArray TestUpdateEndToEnd::diagnostics() const
{
    return "\n--- the programs' log:\n" + log() + "--- nginx's access log:\n"
           + (m_server ? readAll(m_server->accessLog()) : QByteArray());
}

// The first visible window of that title (of process `pid` unless 0) other
// than `besides`; 0 when none came.
quint32 TestUpdateEndToEnd::awaitWindow(const QString &title, qint64 pid, quint32 besides) const
{
    quint32 found = 0;
    const bool came = QTest::qWaitFor(
        [&] {
            for (const quint32 window : m_user.windows(title, pid)) {
                if (window != besides)
                    found = window;
            }
            return found != 0;
        },
        Patience);
    return came ? found : 0;
}

// Presses Return on a message box until it has gone: a window that takes the
// focus at the same moment swallows the key, as it would a user's. False
// when the box stays.
bool TestUpdateEndToEnd::acknowledge(quint32 box, const QString &title, qint64 pid) const
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        // A failed press is seen in the box that stays.
        m_user.press(box, u"Return"_s);
        if (QTest::qWaitFor([&] { return !m_user.windows(title, pid).contains(box); }, Patience / 3))
            return true;
    }
    return false;
}

bool TestUpdateEndToEnd::awaitLog(const QByteArray &line) const
{
    return QTest::qWaitFor([&] { return log().contains(line); }, Patience);
}

// The exit status of a process Patchwell or Zorvane started; -2 when it did
// not end in time.
int TestUpdateEndToEnd::awaitExit(qint64 pid)
{
    const bool ended = QTest::qWaitFor([&] { return m_reaper.exitStatus(pid).has_value(); }, Patience);
    return ended ? *m_reaper.exitStatus(pid) : -2;
}

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_update_end_to_end.moc"
