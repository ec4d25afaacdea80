#include "shell/single_instance.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// One started copy of the stand-in program and everything it said so far.
class Copy
{
public:
    explicit Copy(const QString &runtimeFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeFolder);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QString::fromUtf8(SINGLE_INSTANCE_CHILD), {});
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Waits until the copy said `line` `times` times, or ended.
    bool said(const QByteArray &line, int times = 1)
    {
        const QByteArray wanted = line + '\n';
        const QDeadlineTimer deadline(10000);
        while (m_output.count(wanted) < times && !deadline.hasExpired()) {
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())) && m_process.state() == QProcess::NotRunning)
                break;
            m_output += m_process.readAllStandardOutput();
        }
        m_output += m_process.readAllStandardOutput();
        return m_output.count(wanted) >= times;
    }
    // Waits for the end; the exit code, or -1 for a crash or no end in time.
    int exitCode()
    {
        if (m_process.state() != QProcess::NotRunning)
            m_process.waitForFinished(10000);
        if (m_process.state() != QProcess::NotRunning || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        m_output += m_process.readAllStandardOutput();
        return m_process.exitCode();
    }
    QByteArray output() const { return m_output; }
    // Ends it the way the program ends at its shutdown.
    void close() { m_process.closeWriteChannel(); }
    void crash()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void name_isPerUser();
    void laterStart_wakesTheFirstAndEnds();
    void crashedCopy_doesNotBlockTheNextStart();
    void leftoverSocketWithoutLock_isReplaced();
    void twoCopiesAtOnce_leaveExactlyOne_data();
    void twoCopiesAtOnce_leaveExactlyOne();

private:
    QString socketPath() const { return m_runtime->path() + u'/' + SingleInstance::instanceName(); }
    QString lockPath() const { return socketPath() + u".lock"_s; }

    std::unique_ptr<QTemporaryDir> m_runtime;
};

void TestSingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
}

void TestSingleInstance::cleanup()
{
    m_runtime.reset();
}

void TestSingleInstance::name_isPerUser()
{
    QCOMPARE(SingleInstance::instanceName(), u"KestMain9011-"_s + QString::number(::getuid()));
    const SingleInstance instance;
    QCOMPARE(instance.serverName(), socketPath());
    QCOMPARE(instance.lockFile(), lockPath());
}

void TestSingleInstance::laterStart_wakesTheFirstAndEnds()
{
    Copy first(m_runtime->path());
    QVERIFY(first.said("first"));
    // Only the owner may reach the socket.
    const QFileInfo socket(socketPath());
    QVERIFY(socket.exists());
    QCOMPARE(socket.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
             QFile::Permissions());

    for (int start = 1; start <= 2; ++start) {
        Copy later(m_runtime->path());
        QCOMPARE(later.exitCode(), 0);
        QCOMPARE(later.output(), QByteArray("delivered\n"));
        QVERIFY(first.said("activated", start));
    }

    // A clean end frees the lock and the socket for the next start.
    first.close();
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(lockPath()));
    Copy next(m_runtime->path());
    QVERIFY(next.said("first"));
}

void TestSingleInstance::crashedCopy_doesNotBlockTheNextStart()
{
    Copy crashed(m_runtime->path());
    QVERIFY(crashed.said("first"));
    crashed.crash();
    QVERIFY(QFileInfo::exists(lockPath()));
    QVERIFY(QFileInfo::exists(socketPath()));

    Copy next(m_runtime->path());
    QVERIFY(next.said("first"));
    Copy later(m_runtime->path());
    QCOMPARE(later.exitCode(), 0);
    QVERIFY(next.said("activated"));
}

void TestSingleInstance::leftoverSocketWithoutLock_isReplaced()
{
    // A socket file nobody listens on, as a copy of an older build would
    // leave it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath());
    QVERIFY(size_t(path.size()) < sizeof address.sun_path);
    std::copy(path.begin(), path.end(), address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(socketPath()));

    Copy first(m_runtime->path());
    QVERIFY(first.said("first"));
    Copy later(m_runtime->path());
    QCOMPARE(later.exitCode(), 0);
    QVERIFY(first.said("activated"));
}

void TestSingleInstance::twoCopiesAtOnce_leaveExactlyOne_data()
{
    QTest::addColumn<bool>("afterCrash");
    QTest::newRow("nothing running") << false;
    // Both find the stale lock and race to replace it.
    QTest::newRow("after a crash") << true;
}

void TestSingleInstance::twoCopiesAtOnce_leaveExactlyOne()
{
    QFETCH(bool, afterCrash);
    for (int round = 0; round < 5; ++round) {
        if (afterCrash) {
            Copy crashed(m_runtime->path());
            QVERIFY(crashed.said("first"));
            crashed.crash();
        }
        auto a = std::make_unique<Copy>(m_runtime->path());
        auto b = std::make_unique<Copy>(m_runtime->path());
        // One of them ends at once, having woken the other.
        Copy *running = nullptr;
        Copy *ended = nullptr;
        QVERIFY(a->said("first") || a->output().contains("delivered"));
        if (a->output().contains("first")) {
            running = a.get();
            ended = b.get();
        } else {
            running = b.get();
            ended = a.get();
        }
        QCOMPARE(ended->exitCode(), 0);
        QCOMPARE(ended->output(), QByteArray("delivered\n"));
        QVERIFY(running->said("first"));
        QVERIFY(running->said("activated"));
        running->close();
        QCOMPARE(running->exitCode(), 0);
    }
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
