#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Finished
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Finished run(const QString &program, const QStringList &args, const QProcessEnvironment &environment = {})
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The keys of a desktop entry's main group, values as written.
QHash<QString, QString> readEntry(const QString &path)
{
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            keys.insert(line.left(equals), line.mid(equals + 1));
    }
    return keys;
}

// The program an Exec value runs, undoing the entry's escapes: first those
// of every string value, then the quoting's.
QString execProgram(const QString &exec)
{
    QString unescaped;
    for (qsizetype i = 0; i < exec.size(); ++i)
        unescaped += exec.at(i) == u'\\' && i + 1 < exec.size() ? exec.at(++i) : exec.at(i);
    if (!unescaped.startsWith(u'"') || !unescaped.endsWith(u'"'))
        return unescaped;
    QString program;
    for (qsizetype i = 1; i < unescaped.size() - 1; ++i)
        program += unescaped.at(i) == u'\\' ? unescaped.at(++i) : unescaped.at(i);
    return program;
}

} // namespace

// scripts/install into a temporary prefix, as a user would run it.
class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void install_givesAFolderThatStartsAndValidEntries();
    void reinstall_keepsWhatTheUserChanged();
    void updateKey_isTheBuilds_data();
    void updateKey_isTheBuilds();

private:
    Finished install(const QString &prefix, const QString &app = QString::fromUtf8(ZORVANE_APP_DIR));

    QTemporaryDir m_home;
};

Finished TestInstall::install(const QString &prefix, const QString &app)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_s, m_home.path());
    environment.insert(u"ZORVANE_APP"_s, app);
    return run(QString::fromUtf8(ZORVANE_SOURCE_DIR "/scripts/install"), {prefix}, environment);
}

void TestInstall::install_givesAFolderThatStartsAndValidEntries()
{
    QVERIFY(m_home.isValid());
    // A folder name that needs every kind of escape in an Exec key.
    const QString prefix = m_home.path() + u"/my apps $HOME `x` \"q\"/zorvane"_s;
    const Finished installed = install(prefix);
    QVERIFY2(installed.exitCode == 0, installed.err.constData());

    const QString applications = m_home.path() + u"/applications/"_s;
    const QHash<QString, QString> main = readEntry(applications + u"zorvane.desktop"_s);
    const QHash<QString, QString> handOff = readEntry(applications + u"zorvane-handoff.desktop"_s);
    QCOMPARE(main.value(u"Name"_s), u"Zorvane"_s);
    QCOMPARE(handOff.value(u"Name"_s), u"使用Zorvane进行伪原创"_s);
    QCOMPARE(execProgram(main.value(u"Exec"_s)), prefix + u"/Zorvane"_s);
    QCOMPARE(execProgram(handOff.value(u"Exec"_s)), prefix + u"/zorvane-handoff"_s);
    for (const QString &program : {u"/Zorvane"_s, u"/zorvane-handoff"_s})
        QVERIFY(QFileInfo(prefix + program).isExecutable());
    QVERIFY(QFileInfo::exists(main.value(u"Icon"_s)));

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (!validator.isEmpty()) {
        const Finished valid =
            run(validator, {applications + u"zorvane.desktop"_s, applications + u"zorvane-handoff.desktop"_s});
        QCOMPARE(valid.exitCode, 0);
        QCOMPARE(valid.out + valid.err, QByteArray());
    }

    // The installed programs find their folder: the fresh settings and their
    // library counts are there.
    const Finished counts = run(prefix + u"/zorvane-cli"_s, {u"config"_s, u"get"_s, u"vision"_s, u"ErrorWordNums"_s});
    QCOMPARE(counts.exitCode, 0);
    QCOMPARE(counts.out, QByteArray("2862\n"));

    // Zorvane itself starts there: every file it requires is in place, and
    // its login window comes up.
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    environment.insert(u"QT_LOGGING_RULES"_s, u"zorvane.startup.info=true"_s);
    if (!environment.contains(u"QT_QPA_PLATFORM"_s))
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess zorvane;
    zorvane.setProcessEnvironment(environment);
    zorvane.setProcessChannelMode(QProcess::MergedChannels);
    zorvane.start(prefix + u"/Zorvane"_s, {});
    QByteArray log;
    const QDeadlineTimer deadline(30000);
    while (!log.contains("login window shown") && zorvane.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        zorvane.waitForReadyRead(int(deadline.remainingTime()));
        log += zorvane.readAll();
    }
    QVERIFY2(log.contains("login window shown"), log.constData());
    zorvane.kill();
    zorvane.waitForFinished();

    // GLib would refuse an entry for a folder named with "%": refused here.
    QCOMPARE(install(m_home.path() + u"/100%"_s).exitCode, 2);
    QVERIFY(!QFileInfo::exists(m_home.path() + u"/100%"_s));
}

void TestInstall::reinstall_keepsWhatTheUserChanged()
{
    const QString prefix = m_home.path() + u"/again"_s;
    QCOMPARE(install(prefix).exitCode, 0);
    const QList<std::pair<QString, QByteArray>> changed{
        {u"/setting/config.ini"_s, "[vision]\r\nErrorWord=v9\r\n"},
        {u"/data/user.dat"_s, QByteArray("\x01\x00u", 3)},
        {u"/data/error.dat"_s, "new|library\r\n"},
    };
    for (const auto &[file, bytes] : changed) {
        QFile f(prefix + file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    {
        QFile cli(prefix + u"/zorvane-cli"_s);
        QVERIFY(cli.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cli.write("broken");
    }

    QCOMPARE(install(prefix).exitCode, 0);
    for (const auto &[file, bytes] : changed) {
        QFile f(prefix + file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }
    // The programs are the new build's.
    QCOMPARE(run(prefix + u"/zorvane-cli"_s, {u"config"_s, u"get"_s, u"vision"_s, u"ErrorWord"_s}).out,
             QByteArray("v9\n"));
}

void TestInstall::updateKey_isTheBuilds_data()
{
    QTest::addColumn<QByteArray>("installed"); // the installation's key before; empty: none
    QTest::addColumn<QByteArray>("built");     // the build's; empty: none
    QTest::newRow("a first installation takes the build's") << QByteArray() << QByteArray("key 1\n");
    QTest::newRow("a new build's replaces the installed one") << QByteArray("key 1\n") << QByteArray("key 2\n");
    QTest::newRow("a build without one keeps the installed one") << QByteArray("key 1\n") << QByteArray();
}

void TestInstall::updateKey_isTheBuilds()
{
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, built);
    // A built folder with only what the script looks for.
    QTemporaryDir app;
    auto write = [](const QString &path, const QByteArray &bytes, bool executable = false) {
        QFile file(path);
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)
            || file.write(bytes) != bytes.size())
            return false;
        return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
    };
    QVERIFY(write(app.filePath(u"Zorvane"_s), "#!/bin/sh\n", true));
    QVERIFY(write(app.filePath(u"zorvane-handoff"_s), "#!/bin/sh\n", true));
    QVERIFY(write(app.filePath(u"res/zorvane.png"_s), "png"));
    QVERIFY(write(app.filePath(u"setting/config.ini"_s), ""));
    if (!built.isEmpty())
        QVERIFY(write(app.filePath(u"setting/update.pub"_s), built));
    const QString prefix = m_home.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
    if (!installed.isEmpty())
        QVERIFY(write(prefix + u"/setting/update.pub"_s, installed));

    const Finished done = install(prefix, app.path());
    QVERIFY2(done.exitCode == 0, done.err.constData());
    QFile key(prefix + u"/setting/update.pub"_s);
    QVERIFY(key.open(QIODevice::ReadOnly));
    QCOMPARE(key.readAll(), built.isEmpty() ? installed : built);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
