#include "text/gbk.h"
#include "updater/package_format.h"
#include "updater/package_release.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestPackageRelease : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void releases_keepEveryStampsListInStep();
    void refusedRelease_changesNothing_data();
    void refusedRelease_changesNothing();

private:
    QString path(const QString &relative) const { return QDir(m_dir->path()).filePath(relative); }
    QByteArray read(const QString &relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    bool write(const QString &relative, const QByteArray &bytes) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // `pieces`: the script, then the files.
    ReleaseResult release(const QString &name, const QString &stamp,
                          const QStringList &pieces = {u"script"_s, u"one"_s}, const QString &key = {}) const
    {
        QStringList paths;
        for (const QString &piece : pieces)
            paths << path(piece);
        return releasePackage({path(u"content"_s), name, stamp, paths.takeFirst(), paths, key});
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPackageRelease::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && QDir(m_dir->path()).mkpath(u"content/packages"_s));
    QVERIFY(write(u"script"_s, "mv -f update/1 Zorvane\n") && write(u"one"_s, QByteArray("\x00\xff\r\n", 4))
            && write(u"empty"_s, {}) && write(u"marked"_s, "a" + Package::marker().toByteArray() + "b"));
    // The marker across the first megabyte's end, where a file is read in
    // blocks.
    QVERIFY(write(u"marked-late"_s, QByteArray(1024 * 1024 - 4, 'a') + Package::marker().toByteArray()));
}

void TestPackageRelease::releases_keepEveryStampsListInStep()
{
    // A list begun by hand, GBK, with the line break an editor adds and a
    // stamp no file may be named after; and the signature of a release cut
    // short that must not pass for the new one's.
    const QByteArray handMade = toGbk(u"0.8|../../escape|/old/0.8.md<br>0.9 测试版|20240101|/old/0.9.md"_s);
    QVERIFY(QDir(path(u"content"_s)).mkpath(u"upnew"_s) && write(u"content/upnew/index.txt"_s, handMade + "\r\n"));
    QVERIFY(write(u"content/packages/2.0 正式版.md.minisig"_s, "stale"));

    QVERIFY(release(u"1.0"_s, u"20250101"_s).released);
    const ReleaseResult newest = release(u"2.0 正式版"_s, u"20250301.b-2_c"_s, {u"script"_s, u"one"_s, u"empty"_s});
    QVERIFY2(newest.released, qPrintable(newest.error));

    const QByteArray line1 = "1.0|20250101|/packages/1.0.md";
    const QByteArray line2 = toGbk(u"2.0 正式版|20250301.b-2_c|/packages/2.0%20%E6%AD%A3%E5%BC%8F%E7%89%88.md"_s);
    QCOMPARE(read(u"content/upnew/index.txt"_s), handMade + "<br>" + line1 + "<br>" + line2);
    QCOMPARE(read(u"content/upnew/20240101.txt"_s), line1 + "<br>" + line2);
    QCOMPARE(read(u"content/upnew/20250101.txt"_s), line2);
    QCOMPARE(read(u"content/upnew/20250301.b-2_c.txt"_s), QByteArray());
    QCOMPARE(Package::splitPackage(read(u"content/packages/2.0 正式版.md"_s)),
             (QList<QByteArray>{read(u"script"_s), read(u"one"_s), QByteArray()}));
    QVERIFY(!QFile::exists(newest.packageFile + u".minisig"_s));
    QVERIFY(!QFile::exists(path(u"escape.txt"_s)) && !newest.warnings.isEmpty());
}

void TestPackageRelease::refusedRelease_changesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("list"); // replaces upnew/index.txt first unless null
    QTest::addColumn<QString>("error");   // part of the message

    auto row = [](const char *title, const QString &name, const QString &stamp, const QString &error,
                  const QStringList &pieces = {u"script"_s, u"one"_s}, const QString &key = {},
                  const QByteArray &list = {}) {
        QTest::newRow(title) << name << stamp << pieces << key << list << error;
    };
    const QString badName = u"not a package name"_s, badStamp = u"not a stamp"_s;
    row("hidden name", u".2"_s, u"s2"_s, badName);
    row("name splitting the list", u"2<br>x"_s, u"s2"_s, badName);
    row("name with a blank at the end", u"2.0 "_s, u"s2"_s, badName);
    row("stamp with a slash", u"2.0"_s, u"../s1"_s, badStamp);
    row("stamp of the whole list", u"2.0"_s, u"index"_s, badStamp);
    row("name released before", u"1.0"_s, u"s2"_s, u"1.0 was released before"_s);
    row("stamp released before", u"2.0"_s, u"s1"_s, u"stamp s1 was released before"_s);
    row("stamp before the last release's", u"2.0"_s, u"r9"_s, u"does not come after s1"_s);
    row("stamp of a hidden file", u"2.0"_s, u".s2"_s, badStamp);
    row("file holding the marker", u"2.0"_s, u"s2"_s, u"marked holds the package marker"_s,
        {u"script"_s, u"one"_s, u"marked"_s});
    row("file holding the marker across a block", u"2.0"_s, u"s2"_s, u"marked-late holds the package marker"_s,
        {u"script"_s, u"marked-late"_s});
    row("missing file", u"2.0"_s, u"s2"_s, u"no such file"_s, {u"script"_s, u"absent"_s});
    // Refused after the package is written, which is taken away again.
    row("missing signing key", u"2.0"_s, u"s2"_s, u"no such key"_s, {u"script"_s}, u"absent.key"_s);
    row("list Patchwell refuses", u"2.0"_s, u"s2"_s, u"entry 2"_s, {u"script"_s}, {},
        "1.0|s1|/packages/1.0.md<br>../x|s0|/x.md");
}

void TestPackageRelease::refusedRelease_changesNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, stamp);
    QFETCH(QStringList, pieces);
    QFETCH(QString, key);
    QFETCH(QByteArray, list);
    QFETCH(QString, error);

    QVERIFY(release(u"1.0"_s, u"s1"_s).released);
    if (!list.isNull())
        QVERIFY(write(u"content/upnew/index.txt"_s, list));
    auto files = [this] {
        QMap<QString, QByteArray> files;
        QDirIterator it(path(u"content"_s), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(it.next(), read(it.filePath()));
        return files;
    };
    const QMap<QString, QByteArray> before = files();

    const ReleaseResult result = release(name, stamp, pieces, key.isEmpty() ? key : path(key));
    QVERIFY(!result.released);
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(files(), before);
}

QTEST_GUILESS_MAIN(TestPackageRelease)
#include "tst_package_release.moc"
