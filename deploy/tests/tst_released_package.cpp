// A release as the maker makes it, with patchwell-pack and a minisign key,
// served by scripts/serve-content and installed by the updater's own run.

#include "settings/config_keys.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/served_content.h"
#include "testsupport/temp_app_folder.h"
#include "updater/package_format.h"
#include "updater/update_run.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestReleasedPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releasedPackages_installByteForByte();
};

void TestReleasedPackage::releasedPackages_installByteForByte()
{
    QTemporaryDir root;
    QVERIFY(root.isValid() && QDir(root.path()).mkpath(u"content"_s));
    MinisignTool maker(root.path());
    QVERIFY(maker.generate());

    // Every byte value ending in the start of a marker, an empty file, and a
    // megabyte that arrives in many chunks.
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.append(char(i));
    QByteArray large(1 << 20, Qt::Uninitialized);
    QRandomGenerator(18).fillRange(reinterpret_cast<quint32 *>(large.data()), large.size() / 4);
    const QList<QByteArray> pieces{"mv -f update/1 installed\n", everyByte + Package::marker().first(9).toByteArray(),
                                   QByteArray(), large};
    QStringList pieceFiles;
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        QFile file(root.filePath(QString::number(k)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pieces[k]) == pieces[k].size());
        pieceFiles << file.fileName();
    }

    auto pack = [&](const QString &name, const QString &stamp, const QStringList &files) {
        QProcess packer;
        packer.setProcessChannelMode(QProcess::MergedChannels);
        packer.start(QStringLiteral(ZORVANE_APP_DIR "/patchwell-pack"),
                     QStringList{u"--sign"_s, maker.secretKeyPath(), root.filePath(u"content"_s), name, stamp} + files);
        return packer.waitForFinished(30000) && packer.exitCode() == 0 ? QByteArray() : packer.readAll();
    };
    QCOMPARE(pack(u"1.0"_s, u"20250101"_s, {pieceFiles[0]}), QByteArray());
    QCOMPARE(pack(u"2.0 正式版"_s, u"20250301"_s, pieceFiles), QByteArray());

    ServedContent::openToWorkers(root.path());
    ServedContent server;
    QVERIFY2(server.start(root.filePath(u"content"_s)), server.output().constData());

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

    // The script ran in the application folder.
    QCOMPARE(app.readFile(u"\\installed"), pieces[1]);
    QCOMPARE(app.readFile(u"\\update\\2"), pieces[2]);
    QCOMPARE(app.readFile(u"\\update\\3"), pieces[3]);
    QCOMPARE(configText(Cfg::vision::vision), u"2.0 正式版"_s);
    QCOMPARE(configText(Cfg::vision::update), u"20250301"_s);
}

QTEST_GUILESS_MAIN(TestReleasedPackage)
#include "tst_released_package.moc"
