#include "settings/config_keys.h"
#include "shell/single_instance.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Shown = "login window shown";
const QByteArray Woken = "woken by a later start";

// One start of the real Zorvane from the test's application folder, with its
// start-up log.
class Copy
{
public:
    Copy(const QString &program, const QString &runtimeFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeFolder);
        environment.insert(u"QT_LOGGING_RULES"_s, u"zorvane.startup.info=true"_s);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {});
    }
    ~Copy() { crash(); }

    // Waits until the log holds `line` `times` times, or the copy ended.
    bool logged(const QByteArray &line, int times = 1)
    {
        const QDeadlineTimer deadline(20000);
        while (read().count(line) < times && running() && !deadline.hasExpired())
            m_process.waitForReadyRead(int(deadline.remainingTime()));
        return read().count(line) >= times;
    }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // The exit status of a copy that ended by itself; -1 otherwise.
    int exitCode()
    {
        m_process.waitForFinished(10000);
        if (running() || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    const QByteArray &read()
    {
        m_log += m_process.readAll();
        return m_log;
    }
    void crash()
    {
        if (running()) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

private:
    QProcess m_process;
    QByteArray m_log;
};

} // namespace

// Zorvane itself, started more than once from one application folder by one
// user (CTest runs this under xvfb-run): whatever the timing, one copy runs.
class TestRunningCopies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void twoCopiesAtOnce_leaveOneRunning();
    void crashedCopy_leftItsSocketBehind();

private:
    std::unique_ptr<Copy> start() { return std::make_unique<Copy>(m_program, m_runtime->path()); }

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<TempAppFolder> m_app;
    QString m_program;
};

void TestRunningCopies::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(m_app->isValid());
    // The program finds its folder from where it lies: a copy of its own.
    m_program = m_app->path(u"\\Zorvane");
    QVERIFY(QFile::copy(QString::fromUtf8(ZORVANE_APP_DIR "/Zorvane"), m_program));
    QVERIFY(m_app->writeFile(u"\\lib\\index.html", "<html></html>"));
    QVERIFY(m_app->writeFile(u"\\Patchwell", "#!/bin/sh\n"));
    // Nothing here logs in; should anything ask a server, it asks no one.
    const QString nowhere = u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort());
    for (const ConfigKey &server : {Cfg::Servers::Service, Cfg::Servers::Forum, Cfg::Servers::Avatar})
        QVERIFY(setConfigText(server, nowhere));
}

void TestRunningCopies::cleanup()
{
    m_app.reset();
    m_runtime.reset();
}

void TestRunningCopies::twoCopiesAtOnce_leaveOneRunning()
{
    // Later rounds also find the lock of the copy ended by the round before.
    for (int round = 0; round < 3; ++round) {
        std::unique_ptr<Copy> a = start();
        std::unique_ptr<Copy> b = start();
        QTRY_VERIFY_WITH_TIMEOUT(!a->running() || !b->running(), 20000);
        Copy &ended = a->running() ? *b : *a;
        Copy &running = a->running() ? *a : *b;
        QCOMPARE(ended.exitCode(), 0);
        QVERIFY(!ended.read().contains(Shown));
        QVERIFY(running.logged(Shown));
        QVERIFY(running.logged(Woken));
        QVERIFY(running.running());
    }
}

void TestRunningCopies::crashedCopy_leftItsSocketBehind()
{
    std::unique_ptr<Copy> crashed = start();
    QVERIFY(crashed->logged(Shown));
    crashed->crash();
    const QString socket = m_runtime->path() + u'/' + SingleInstance::instanceName();
    QVERIFY(QFileInfo::exists(socket));
    QVERIFY(QFileInfo::exists(socket + u".lock"_s));

    std::unique_ptr<Copy> next = start();
    QVERIFY(next->logged(Shown));
    std::unique_ptr<Copy> later = start();
    QCOMPARE(later->exitCode(), 0);
    QVERIFY(next->logged(Woken));
    QVERIFY(next->running());
}

QTEST_GUILESS_MAIN(TestRunningCopies)
#include "tst_running_copies.moc"
