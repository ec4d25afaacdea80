#include "literal_package.h"
#include "testsupport/temp_app_folder.h"
#include "updater/minisign.h"
#include "updater/package_format.h"
#include "updater/package_sink.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QByteArray M = QByteArray(Package::marker().data(), Package::markerSize);

// The streaming splitter fed in chunks of the given sizes (cycled).
QList<QByteArray> splitInChunks(const QByteArray &package, const QList<int> &sizes)
{
    QList<QByteArray> pieces;
    PackageSplitter splitter;
    splitter.pieceStarted = [&](int index) {
        if (index != pieces.size())
            return false;
        pieces.append(QByteArray());
        return true;
    };
    splitter.pieceData = [&](QByteArrayView bytes) {
        pieces.last().append(bytes);
        return true;
    };
    qsizetype at = 0;
    for (int i = 0; at < package.size(); ++i) {
        const qsizetype size = qMin<qsizetype>(sizes[i % sizes.size()], package.size() - at);
        if (!splitter.feed(QByteArrayView(package).sliced(at, size)))
            return {};
        at += size;
    }
    splitter.finish();
    return pieces;
}

} // namespace

class TestPackageFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data();
    void split();
    void streamingSplit_agreesWithTheLiteralOne();
    void join_roundTripsUnlessAPieceHoldsTheMarker();
    void pieces_areWrittenToTheUpdateFolder();
};

void TestPackageFormat::split_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QList<QByteArray>>("pieces");

    QTest::newRow("marker, script, marker, file") << M + "echo" + M + "data" << QList<QByteArray>{"echo", "data"};
    QTest::newRow("bytes before the first marker ignored") << "MZ junk" + M + "s" << QList<QByteArray>{"s"};
    QTest::newRow("no marker: no pieces") << QByteArray("just bytes") << QList<QByteArray>{};
    QTest::newRow("empty package") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("adjacent markers: empty piece") << M + M + "f" << QList<QByteArray>{"", "f"};
    QTest::newRow("marker at the end: empty last piece") << M + "s" + M << QList<QByteArray>{"s", ""};
    QTest::newRow("a marker's beginning is data")
        << M + "s" + M.left(9) + "x" << QList<QByteArray>{"s" + M.left(9) + "x"};
    QTest::newRow("zeros before the marker stay data")
        << M + "s" + QByteArray(5, '\0') + M + "f" << QList<QByteArray>{"s" + QByteArray(5, '\0'), "f"};
}

void TestPackageFormat::split()
{
    QFETCH(QByteArray, package);
    QFETCH(QList<QByteArray>, pieces);
    QCOMPARE(Package::splitPackage(package), pieces);
    QCOMPARE(literalSplitPackage(package), pieces);
    // Every way of cutting the stream in two gives the same pieces.
    for (int cut = 1; cut < package.size(); ++cut)
        QCOMPARE(splitInChunks(package, {cut, int(package.size())}), pieces);
    QCOMPARE(splitInChunks(package, {1}), pieces);
}

void TestPackageFormat::streamingSplit_agreesWithTheLiteralOne()
{
    // Bytes drawn mostly from the marker's own alphabet, so that partial and
    // whole markers turn up at every offset and chunk boundary.
    QRandomGenerator random(1729);
    const char alphabet[] = {0x00, 0x03, 0x04, 0x05, 0x06, 'x'};
    for (int round = 0; round < 400; ++round) {
        QByteArray package;
        const int parts = random.bounded(8);
        for (int p = 0; p < parts; ++p) {
            const int length = random.bounded(40);
            for (int i = 0; i < length; ++i)
                package.append(alphabet[random.bounded(int(sizeof alphabet))]);
            if (random.bounded(3) > 0)
                package.append(random.bounded(4) == 0 ? M.left(random.bounded(1, 10)) : M);
        }
        const QList<int> sizes{random.bounded(1, 12), random.bounded(1, 30), random.bounded(1, 5)};
        QCOMPARE(splitInChunks(package, sizes), literalSplitPackage(package));
    }
}

void TestPackageFormat::join_roundTripsUnlessAPieceHoldsTheMarker()
{
    const QList<QByteArray> files{"first file", QByteArray(3, '\0') + "\x06\x03", QByteArray()};
    const std::optional<QByteArray> package = Package::joinPackage("mv update/1 a\n", files);
    QVERIFY(package);
    QCOMPARE(Package::splitPackage(*package), QList<QByteArray>{"mv update/1 a\n"} + files);
    // A piece holding the marker would come back split in two.
    QVERIFY(!Package::joinPackage("script", {"a" + M + "b"}));
    QVERIFY(!Package::joinPackage(M, {}));
}

void TestPackageFormat::pieces_areWrittenToTheUpdateFolder()
{
    TempAppFolder app;
    const QString update = app.path(u"\\update\\");
    QVERIFY(QDir().mkpath(update));
    QVERIFY(app.writeFile(u"\\update\\2", "left by an earlier package"));
    // Large enough to arrive in many chunks, with markers straddling them.
    const QByteArray big(1024 * 1024 - 35, 'b');
    const QByteArray package = "head" + M + "script" + M + big + M + "tail";
    Blake2b512 expectedHash;
    expectedHash.addData(package);
    const QByteArray hash = expectedHash.result();

    {
        // Dropped before it was installed: nothing of it stays.
        PackageSink dropped(update, u"v"_s, true);
        QVERIFY(dropped.start());
        QCOMPARE(dropped.write(package.left(500000)), 500000);
    }
    QCOMPARE(QDir(update).entryList(QDir::Files | QDir::Hidden), QStringList{u"2"_s});

    PackageSink sink(update, u"v"_s, true);
    QVERIFY(sink.start());
    for (qsizetype at = 0; at < package.size(); at += 4093)
        QVERIFY(sink.write(package.mid(at, 4093)) > 0);
    QVERIFY(sink.finish());
    QCOMPARE(sink.hash(), hash);
    QCOMPARE(sink.pieceCount(), 3);
    // Until installed, no piece has its name.
    QCOMPARE(app.readFile(u"\\update\\2"), QByteArray("left by an earlier package"));
    QVERIFY(!QFile::exists(app.path(u"\\update\\0.bat")));
    QVERIFY2(sink.install(), qPrintable(sink.errorText()));
    QCOMPARE(app.readFile(u"\\update\\v.md"), package);
    QCOMPARE(app.readFile(u"\\update\\0.bat"), QByteArray("script"));
    QCOMPARE(app.readFile(u"\\update\\1"), big);
    QCOMPARE(app.readFile(u"\\update\\2"), QByteArray("tail"));
    QCOMPARE(QDir(update).entryList({u"*.part"_s}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestPackageFormat)
#include "tst_package_format.moc"
