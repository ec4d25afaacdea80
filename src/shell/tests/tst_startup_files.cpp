#include "shell/startup_files.h"
#include "testsupport/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestStartupFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingRequiredFile_data();
    void missingRequiredFile();
    void workFolders_areCreatedOnce();
};

void TestStartupFiles::missingRequiredFile_data()
{
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("reported");
    QTest::newRow("complete folder") << QString() << QString();
    QTest::newRow("editor page") << u"\\lib\\index.html"_s << u"\\lib\\index.html"_s;
    QTest::newRow("updater without .exe") << u"\\Patchwell"_s << u"\\Patchwell"_s;
    // The first missing file is the one reported.
    QTest::newRow("two missing") << u"\\data\\hexie.dat|\\lib\\index.html"_s << u"\\data\\hexie.dat"_s;
}

void TestStartupFiles::missingRequiredFile()
{
    QFETCH(QString, removed);
    QFETCH(QString, reported);
    TempAppFolder folder;
    QVERIFY(folder.writeFile(u"\\lib\\index.html", "<html></html>"));
    QVERIFY(folder.writeFile(u"\\Patchwell", "#!/bin/sh\n"));
    QVERIFY(QFile::exists(folder.path(u"\\data\\user.dat")));
    for (const QString &file : removed.split(u'|', Qt::SkipEmptyParts))
        QVERIFY(QFile::remove(folder.path(file)));

    const std::optional<QString> missing = ::missingRequiredFile(folder.folder());
    QCOMPARE(missing.value_or(QString()), reported.isEmpty() ? QString() : folder.path(reported));
}

void TestStartupFiles::workFolders_areCreatedOnce()
{
    TempAppFolder folder;
    QVERIFY(!QDir(folder.path(u"\\img")).exists());
    QVERIFY(folder.writeFile(u"\\update\\pkg.md", "kept"));
    QVERIFY(createWorkFolders(folder.folder()));
    QVERIFY(QDir(folder.path(u"\\img")).exists());
    QCOMPARE(folder.readFile(u"\\update\\pkg.md"), QByteArray("kept"));
    QVERIFY(createWorkFolders(folder.folder()));

    // A file where a folder belongs cannot be made a folder.
    TempAppFolder blocked;
    QVERIFY(blocked.writeFile(u"\\img", "not a folder"));
    QVERIFY(!createWorkFolders(blocked.folder()));
}

QTEST_GUILESS_MAIN(TestStartupFiles)
#include "tst_startup_files.moc"
