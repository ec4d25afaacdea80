#include "text/gbk.h"
#include "updater/package_format.h"
#include "updater/package_release.h"
#include "updater/update_list.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

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
    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    ReleaseResult release(const QString &name, const QString &stamp, const QStringList &files = {},
                          const QString &script = u"script"_s, const QString &key = QString()) const;
    QMap<QString, QByteArray> contentFiles() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

const QByteArray script = "mv -f update/1 Zorvane\n";
const QByteArray marked = "before" + Package::marker().toByteArray() + "after";

QByteArray TestPackageRelease::read(const QString &relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void TestPackageRelease::write(const QString &relative, const QByteArray &bytes) const
{
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

ReleaseResult TestPackageRelease::release(const QString &name, const QString &stamp, const QStringList &files,
                                          const QString &script, const QString &key) const
{
    QStringList paths;
    for (const QString &file : files)
        paths << path(file);
    return releasePackage({path(u"content"_s), name, stamp, path(script), paths, key.isEmpty() ? key : path(key)});
}

QMap<QString, QByteArray> TestPackageRelease::contentFiles() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(path(u"content"_s), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(file, read(file));
    }
    return files;
}

void TestPackageRelease::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && QDir(m_dir->path()).mkpath(u"content/upnew"_s));
    write(u"script"_s, script);
    write(u"one"_s, QByteArray("\x00\xff\r\n", 4));
    write(u"empty"_s, QByteArray());
    write(u"marked"_s, marked);
}

void TestPackageRelease::releases_keepEveryStampsListInStep()
{
    // A list begun by hand, GBK, with the line break an editor adds.
    const QByteArray handMade = toGbk(u"0.9 测试版|20240101|/old/0.9.md"_s);
    write(u"content/upnew/index.txt"_s, handMade + "\r\n");
    // Left by a release cut short: it must not pass for the new package's.
    QVERIFY(QDir(path(u"content"_s)).mkpath(u"packages"_s));
    write(u"content/packages/2.0 正式版.md.minisig"_s, "stale");

    QVERIFY(release(u"1.0"_s, u"20250101"_s, {u"one"_s}).released);
    const ReleaseResult second = release(u"2.0 正式版"_s, u"2025.03-b_2"_s, {u"one"_s, u"empty"_s});
    QVERIFY2(second.released, qPrintable(second.error));

    const QByteArray first = "1.0|20250101|/packages/1.0.md";
    const QByteArray newest = toGbk(u"2.0 正式版|2025.03-b_2|/packages/2.0%20%E6%AD%A3%E5%BC%8F%E7%89%88.md"_s);
    QCOMPARE(read(u"content/upnew/index.txt"_s), handMade + "<br>" + first + "<br>" + newest);
    QCOMPARE(read(u"content/upnew/20240101.txt"_s), first + "<br>" + newest);
    QCOMPARE(read(u"content/upnew/20250101.txt"_s), newest);
    QCOMPARE(read(u"content/upnew/2025.03-b_2.txt"_s), QByteArray());
    QCOMPARE(parseUpdateList(fromGbk(read(u"content/upnew/index.txt"_s))).packages.size(), 3);

    QCOMPARE(second.packageFile, path(u"content/packages/2.0 正式版.md"_s));
    QCOMPARE(Package::splitPackage(read(u"content/packages/2.0 正式版.md"_s)),
             (QList<QByteArray>{script, read(u"one"_s), QByteArray()}));
    QVERIFY(!QFile::exists(second.packageFile + u".minisig"_s));
}

void TestPackageRelease::refusedRelease_changesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("list"); // replaces upnew/index.txt first unless null
    QTest::addColumn<QString>("error");   // part of the message

    const QStringList one{u"one"_s};
    const QString ok = u"script"_s;
    auto row = [&](const char *title, const QString &name, const QString &stamp, const QString &error) {
        QTest::newRow(title) << name << stamp << one << ok << QString() << QByteArray() << error;
    };
    row("name with a slash", u"a/b"_s, u"s2"_s, u"not a package name"_s);
    row("name climbing out", u".."_s, u"s2"_s, u"not a package name"_s);
    row("hidden name", u".2"_s, u"s2"_s, u"not a package name"_s);
    row("name splitting its line", u"2|x"_s, u"s2"_s, u"not a package name"_s);
    row("name splitting the list", u"2<br>x"_s, u"s2"_s, u"not a package name"_s);
    row("name with a blank at the end", u"2.0 "_s, u"s2"_s, u"not a package name"_s);
    row("empty stamp", u"2.0"_s, QString(), u"not a stamp"_s);
    row("stamp with a blank", u"2.0"_s, u"2025 03"_s, u"not a stamp"_s);
    row("stamp climbing out", u"2.0"_s, u"../s1"_s, u"not a stamp"_s);
    row("stamp of the whole list", u"2.0"_s, u"index"_s, u"not a stamp"_s);
    row("name released before", u"1.0"_s, u"s2"_s, u"1.0 was released before"_s);
    row("stamp released before", u"2.0"_s, u"s1"_s, u"stamp s1 was released before"_s);

    const QString name = u"2.0"_s, stamp = u"s2"_s;
    QTest::newRow("file holding the marker") << name << stamp << QStringList{u"one"_s, u"marked"_s} << ok << QString()
                                             << QByteArray() << u"marked holds the package marker"_s;
    QTest::newRow("script holding the marker")
        << name << stamp << one << u"marked"_s << QString() << QByteArray() << u"marked holds the package marker"_s;
    QTest::newRow("missing file") << name << stamp << QStringList{u"one"_s, u"absent"_s} << ok << QString()
                                  << QByteArray() << u"no such file"_s;
    QTest::newRow("missing script") << name << stamp << one << u"absent"_s << QString() << QByteArray()
                                    << u"no such file"_s;
    QTest::newRow("missing signing key") << name << stamp << one << ok << u"absent.key"_s << QByteArray()
                                         << u"no such key"_s;
    QTest::newRow("list line Patchwell refuses")
        << name << stamp << one << ok << QString() << QByteArray("1.0|s1|/packages/1.0.md<br>../x|s0|/x.md")
        << u"entry 2"_s;
    QTest::newRow("list line of two fields")
        << name << stamp << one << ok << QString() << QByteArray("1.0|s1") << u"entry 1"_s;
}

void TestPackageRelease::refusedRelease_changesNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, stamp);
    QFETCH(QStringList, files);
    QFETCH(QString, script);
    QFETCH(QString, key);
    QFETCH(QByteArray, list);
    QFETCH(QString, error);

    QVERIFY(release(u"1.0"_s, u"s1"_s, {u"one"_s}).released);
    if (!list.isNull())
        write(u"content/upnew/index.txt"_s, list);
    const QMap<QString, QByteArray> before = contentFiles();

    const ReleaseResult result = release(name, stamp, files, script, key);
    QVERIFY(!result.released);
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(contentFiles(), before);
}

QTEST_GUILESS_MAIN(TestPackageRelease)
#include "tst_package_release.moc"
