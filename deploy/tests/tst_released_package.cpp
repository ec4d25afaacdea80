// A release as the maker makes it, with patchwell-pack and a minisign key,
// served by scripts/serve-content and installed by the updater's own run: the
// files arrive byte for byte.

#include "settings/config_keys.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/served_content.h"
#include "testsupport/temp_app_folder.h"
#include "updater/package_format.h"
#include "updater/update_run.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReleasedPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releasedPackages_installByteForByte();
};

namespace {

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray pack(const QStringList &args)
{
    QProcess packer;
    packer.setProcessChannelMode(QProcess::MergedChannels);
    packer.start(QStringLiteral(ZORVANE_APP_DIR "/patchwell-pack"), args);
    if (!packer.waitForFinished(30000) || packer.exitStatus() != QProcess::NormalExit || packer.exitCode() != 0)
        return "failed: " + packer.readAll();
    return packer.readAll();
}

} // namespace

void TestReleasedPackage::releasedPackages_installByteForByte()
{
    QTemporaryDir root;
    QVERIFY(root.isValid() && QDir(root.path()).mkpath(u"content"_s));
    const QString content = root.filePath(u"content"_s);
    MinisignTool maker(root.path());
    QVERIFY(maker.generate());

    // Every byte value ending in the start of a marker, an empty file, and a
    // megabyte that arrives in many chunks.
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.append(char(i));
    QByteArray large(1 << 20, Qt::Uninitialized);
    QRandomGenerator(18).fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    const QList<QByteArray> files{everyByte + Package::marker().first(9).toByteArray(), QByteArray(), large};
    QStringList fileArgs;
    for (int k = 1; k <= files.size(); ++k) {
        fileArgs << root.filePath(QString::number(k));
        QVERIFY(writeAll(fileArgs.last(), files[k - 1]));
    }
    // Run in the application folder: it takes the first file out of update/.
    const QString script = root.filePath(u"0.sh"_s);
    QVERIFY(writeAll(script, "mv -f update/1 installed\n"));

    const QString key = maker.secretKeyPath();
    QByteArray said = pack({u"--sign"_s, key, content, u"1.0"_s, u"20250101"_s, script});
    QVERIFY2(said.startsWith("released"), said.constData());
    said = pack(QStringList{u"--sign"_s, key, content, u"2.0 正式版"_s, u"20250301"_s, script} + fileArgs);
    QVERIFY2(said.startsWith("released"), said.constData());

    ServedContent::openToWorkers(root.path());
    ServedContent server;
    QVERIFY2(server.start(content), server.output().constData());

    // An installation of 1.0 holding the maker's key: only 2.0 is pending.
    TempAppFolder app;
    QVERIFY(app.isValid() && app.writeFile(u"\\setting\\update.pub", maker.publicKey()));
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(server.port())));
    QVERIFY(setConfigText(Cfg::vision::update, u"20250101"_s));
    UpdateRun run;
    connect(&run, &UpdateRun::updatesFound, &run, &UpdateRun::proceed);
    QSignalSpy finished(&run, &UpdateRun::finished);
    run.start();
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first().first().value<UpdateRun::Outcome>(), UpdateRun::Outcome::Installed);
    QCOMPARE(run.packages().size(), 1);

    QCOMPARE(app.readFile(u"\\installed"), files[0]);
    QCOMPARE(app.readFile(u"\\update\\2"), files[1]);
    QCOMPARE(app.readFile(u"\\update\\3"), files[2]);
    QCOMPARE(configText(Cfg::vision::vision), u"2.0 正式版"_s);
    QCOMPARE(configText(Cfg::vision::update), u"20250301"_s);
}

QTEST_GUILESS_MAIN(TestReleasedPackage)
#include "tst_released_package.moc"
