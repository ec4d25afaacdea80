// The service server as the maker runs it: scripts/serve-content (the real
// nginx with deploy/nginx/zorvane-service.conf) on a copy of the example
// content, asked over raw sockets so that no client library tidies the paths.

#include "net/service_checks.h"
#include "net/service_client.h"
#include "settings/config_keys.h"
#include "testsupport/served_content.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHostAddress>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString exampleContent = QStringLiteral(ZORVANE_SOURCE_DIR "/deploy/example-content");
const QByteArray secret = "outside-the-content-folder";
const QByteArray packageMarker("\x00\x00\x00\x06\x03\x04\x06\x03\x05\x06", 10);
const QByteArray logoutRequestLine = "\"GET /index.php?m=show&action=logout HTTP/1.1\"";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The updater reads a package's size from Content-Length and has no chunked
// decoder, so every reply, error pages and empty files included, must carry it.
void verifyFraming(const RawReply &reply)
{
    QVERIFY2(reply.status != 0, "no complete reply");
    QVERIFY2(reply.headers.contains("content-length"), "no Content-Length");
    QCOMPARE(reply.headers.value("content-length").toLongLong(), reply.body.size());
    QVERIFY(!reply.headers.contains("transfer-encoding"));
    QVERIFY(!reply.headers.contains("content-encoding"));
}

} // namespace

class TestServiceContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void exampleContent_suitsTheClients();
    void mappedRequests_serveTheStoredFile_data();
    void mappedRequests_serveTheStoredFile();
    void requestsOutsideTheFiles_getNoFile_data();
    void requestsOutsideTheFiles_getNoFile();
    void logoutNotices_areCountedInTheAccessLog();
    void serviceClient_readsTheServedTexts();
    void freshInstallation_holdsTheServedLibraries();

private:
    QString content(const QString &relative) const { return m_root.path() + u"/content/"_s + relative; }

    QTemporaryDir m_root;
    ServedContent m_server;
};

void TestServiceContent::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(ServedContent::copyFolder(exampleContent, content(QString())));

    // A history of two releases: 1.5 (stamp 20250201), then 2.0 (20250301).
    const QByteArray package =
        "pre" + packageMarker + "cp 1 Zorvane\r\n" + packageMarker + QByteArray("\x00\xff\r\n", 4);
    QVERIFY(writeAll(content(u"packages/2.0.md"_s), package));
    QVERIFY(writeAll(content(u"upnew/index.txt"_s), "1.5|20250201|/packages/1.5.md<br>2.0|20250301|/packages/2.0.md"));
    QVERIFY(writeAll(content(u"upnew/20250201.txt"_s), "2.0|20250301|/packages/2.0.md"));
    QVERIFY(writeAll(content(u"upnew/20250301.txt"_s), QByteArray()));

    // Bait beside the folder and ways that might lead to it.
    QVERIFY(writeAll(m_root.path() + u"/secret.txt"_s, secret));
    QVERIFY(QFile::link(m_root.path() + u"/secret.txt"_s, content(u"outside.txt"_s)));
    QVERIFY(QFile::link(m_root.path(), content(u"outside-dir"_s)));
    QVERIFY(writeAll(content(u".hidden.txt"_s), secret));
    QVERIFY(writeAll(content(u"upnew/.x.txt"_s), secret));
    ServedContent::openToWorkers(m_root.path());

    QVERIFY2(m_server.start(content(QString())), m_server.output().constData());
}

void TestServiceContent::cleanupTestCase()
{
    const QString prefix = QFileInfo(m_server.accessLog()).absolutePath();
    m_server.stop();
    // The script leaves nothing behind and nothing listening.
    if (!m_server.accessLog().isEmpty())
        QVERIFY2(!QFileInfo::exists(prefix), qPrintable(prefix));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_server.port());
    QVERIFY(!socket.waitForConnected(2000));
}

void TestServiceContent::exampleContent_suitsTheClients()
{
    // A client stores a downloaded library as the text plus CR LF: the served
    // libraries are the shipped ones without it, so a fresh installation that
    // updates ends with the very files it shipped with.
    QCOMPARE(readAll(exampleContent + u"/data/errorwords.txt"_s) + "\r\n",
             readAll(QStringLiteral(ZORVANE_APPDIR_TEMPLATE "/data/error.dat")));
    QCOMPARE(readAll(exampleContent + u"/data/samewords.txt"_s) + "\r\n",
             readAll(QStringLiteral(ZORVANE_APPDIR_TEMPLATE "/data/same.dat")));

    // Version texts end up in the settings file; longer ones are ignored.
    for (const QString &name : {u"errorwords"_s, u"samewords"_s}) {
        const QByteArray version = readAll(exampleContent + u"/show/"_s + name + u".txt"_s);
        QVERIFY(!version.isEmpty());
        QVERIFY2(version.size() <= 29, qPrintable(name));
    }

    // Replies are split on "|" and "<br>" as they stand: a line break at the
    // end would become part of the last field.
    QDirIterator it(exampleContent, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QByteArray bytes = readAll(path);
        const bool splitByClients = path.contains(u"/show/"_s) || path.contains(u"/upnew/"_s);
        QVERIFY2(!splitByClients || (!bytes.endsWith('\n') && !bytes.endsWith('\r')), qPrintable(path));
        QStringDecoder gbk("GB18030");
        const QString text = gbk(bytes);
        QVERIFY2(!gbk.hasError() && !text.contains(QChar::ReplacementCharacter), qPrintable(path));
    }

    // The picture of the advertisement is one the application folder holds.
    const QString picture = fromGbk(readAll(exampleContent + u"/show/ad.txt"_s)).section(u'|', 0, 0);
    QVERIFY(QFileInfo::exists(QStringLiteral(ZORVANE_APPDIR_TEMPLATE "/html/") + picture));
}

void TestServiceContent::mappedRequests_serveTheStoredFile_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("file"); // relative to the content folder; empty: 404

    const QByteArray show = "/index.php?m=show&action=";
    for (const char *action : {"ad", "format", "yc", "notice", "errorwords", "samewords", "logout"})
        QTest::addRow("action %s", action) << show + action << u"show/%1.txt"_s.arg(QLatin1StringView(action));
    QTest::newRow("typo library") << QByteArray("/data/errorwords.txt") << u"data/errorwords.txt"_s;
    QTest::newRow("synonym library") << QByteArray("/data/samewords.txt") << u"data/samewords.txt"_s;
    QTest::newRow("package, binary") << QByteArray("/packages/2.0.md") << u"packages/2.0.md"_s;

    const QByteArray list = show + "upnew&time=";
    QTest::newRow("update list, fresh installation") << list << u"upnew/index.txt"_s;
    QTest::newRow("update list, no time at all") << show + "upnew" << u"upnew/index.txt"_s;
    QTest::newRow("update list, older stamp") << list + "20250201" << u"upnew/20250201.txt"_s;
    QTest::newRow("update list, newest stamp is empty") << list + "20250301" << u"upnew/20250301.txt"_s;
    QTest::newRow("update list, unknown stamp") << list + "20240101" << u"upnew/index.txt"_s;
    QTest::newRow("update list, stamp climbing out") << list + "../x" << u"upnew/index.txt"_s;
    QTest::newRow("update list, stamp reaching a stamp file") << list + "../upnew/20250301" << u"upnew/index.txt"_s;
    QTest::newRow("update list, encoded stamp") << list + "%2e%2e%2fsecret" << u"upnew/index.txt"_s;
    QTest::newRow("update list, stamp of the bait") << list + "../../secret" << u"upnew/index.txt"_s;
    QTest::newRow("update list, stamp of a hidden file") << list + ".x" << u"upnew/index.txt"_s;

    QTest::newRow("unknown action") << show + "upload" << QString();
    QTest::newRow("action naming a path") << show + "../../secret" << QString();
    QTest::newRow("action of another module") << QByteArray("/index.php?m=user&action=ad") << QString();
    QTest::newRow("missing package") << QByteArray("/packages/9.9.md") << QString();
    QTest::newRow("missing library") << QByteArray("/data/hexie.txt") << QString();
}

void TestServiceContent::mappedRequests_serveTheStoredFile()
{
    QFETCH(QByteArray, target);
    QFETCH(QString, file);

    const RawReply reply = rawGet(m_server.port(), target);
    verifyFraming(reply);
    if (QTest::currentTestFailed())
        return;
    if (file.isEmpty()) {
        QCOMPARE(reply.status, 404);
        return;
    }
    QCOMPARE(reply.status, 200);
    QVERIFY(QFileInfo::exists(content(file)));
    // Byte for byte: GBK stays GBK.
    QCOMPARE(reply.body, readAll(content(file)));
}

void TestServiceContent::requestsOutsideTheFiles_getNoFile_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");

    auto row = [](const char *name, const QByteArray &target, int status) {
        QTest::newRow(name) << "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" << status;
    };
    row("dot-dot", "/../secret.txt", 400);
    row("dot-dot below a folder", "/show/../../secret.txt", 400);
    row("dot-dot that stays inside", "/show/../show/ad.txt", 400);
    row("encoded dots", "/%2e%2e/secret.txt", 400);
    row("encoded dots, upper case", "/%2E%2E/secret.txt", 400);
    row("encoded slashes", "/show/..%2f..%2fsecret.txt", 400);
    row("backslashes", "/..\\..\\secret.txt", 400);
    row("encoded backslashes", "/%5c..%5csecret.txt", 400);
    row("absolute path", QFile::encodeName(m_root.path()) + "/secret.txt", 404);
    row("absolute path, doubled slash", "/" + QFile::encodeName(m_root.path()) + "/secret.txt", 404);
    row("absolute-form target", "http://127.0.0.1/../secret.txt", 400);
    row("target without slash", "secret.txt", 400);
    row("link to a file outside", "/outside.txt", 404);
    row("link to a folder outside", "/outside-dir/secret.txt", 404);
    row("hidden file", "/.hidden.txt", 404);
    row("internal update-list path", "/zorvane-update-list", 404);
    row("root folder", "/", 404);
    row("folder with slash", "/show/", 404);
    row("folder without slash", "/show", 404);
    QTest::newRow("upload") << QByteArray("POST /show/ad.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 6\r\n"
                                          "Connection: close\r\n\r\nsecret")
                            << 405;
}

void TestServiceContent::requestsOutsideTheFiles_getNoFile()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);

    const RawReply reply = rawExchange(m_server.port(), request);
    verifyFraming(reply);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(reply.status, status);
    QVERIFY(!reply.body.contains(secret));
    // Neither a listing nor a redirect to one.
    QVERIFY(!reply.body.contains("ad.txt"));
    QVERIFY(!reply.headers.contains("location"));
}

void TestServiceContent::logoutNotices_areCountedInTheAccessLog()
{
    auto logouts = [this] { return readAll(m_server.accessLog()).count(logoutRequestLine); };
    const qsizetype before = logouts();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(rawGet(m_server.port(), "/index.php?m=show&action=logout").status, 200);
    // Requests that merely mention the action are not notices.
    QCOMPARE(rawGet(m_server.port(), "/index.php?m=show&action=notice&from=action=logout").status, 200);
    QCOMPARE(rawGet(m_server.port(), "/show/logout.txt").status, 200);
    QTRY_COMPARE(logouts(), before + 3);
}

void TestServiceContent::serviceClient_readsTheServedTexts()
{
    // The programs' own client against the real server: GBK decoded, and a
    // missing file read as the empty reply.
    TempAppFolder folder;
    QVERIFY(folder.isValid());
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(m_server.port())));
    ServiceClient client;
    QStringList replies;
    for (const QString &path : {ServicePath::notice(), ServicePath::updateList(u"20250201"_s),
                                ServicePath::updateList(u"20250301"_s), u"packages/9.9.md"_s})
        client.fetchText(path, this, [&replies](const QString &reply) { replies << reply; });
    QTRY_COMPARE(replies.size(), 4);
    QVERIFY(replies.contains(fromGbk(readAll(content(u"show/notice.txt"_s)))));
    QVERIFY(replies.contains(u"2.0|20250301|/packages/2.0.md"_s));
    QCOMPARE(replies.count(QString()), 2);
}

void TestServiceContent::freshInstallation_holdsTheServedLibraries()
{
    // A fresh installation records the versions and counts of the libraries
    // it ships, which are the ones served: its first start asks for both
    // versions and downloads neither library.
    TempAppFolder folder;
    QVERIFY(folder.isValid());
    const QByteArray typos = folder.readFile(u"\\data\\error.dat");
    const QByteArray synonyms = folder.readFile(u"\\data\\same.dat");
    QCOMPARE(configInt(Cfg::vision::ErrorWordNums), libraryCount(readAll(content(u"data/errorwords.txt"_s))));
    QCOMPARE(configInt(Cfg::vision::SameWordNums), libraryCount(readAll(content(u"data/samewords.txt"_s))));
    QVERIFY(setConfigText(Cfg::Servers::Service, u"127.0.0.1:"_s + QString::number(m_server.port())));
    const qsizetype logBefore = readAll(m_server.accessLog()).size();

    ServiceClient client;
    ServiceChecks checks(client, ServiceChecks::UpdatePolicy::Continue);
    QList<LibraryCheck> libraries;
    bool finished = false;
    connect(&checks, &ServiceChecks::libraryChecked, this, [&](const LibraryCheck &check) { libraries << check; });
    connect(&checks, &ServiceChecks::finished, this, [&] { finished = true; });
    checks.start();
    QTRY_VERIFY_WITH_TIMEOUT(finished, 15000);

    QCOMPARE(libraries.size(), 2);
    const QByteArray served[] = {readAll(content(u"show/errorwords.txt"_s)), readAll(content(u"show/samewords.txt"_s))};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(libraries.at(i).outcome, LibraryCheck::Outcome::Unchanged);
        // Compared with what the server sent, not left alone for want of a reply.
        QCOMPARE(libraries.at(i).version.toUtf8(), served[i]);
    }
    QCOMPARE(configText(Cfg::vision::ErrorWord).toUtf8(), served[0]);
    QCOMPARE(configText(Cfg::vision::SameWord).toUtf8(), served[1]);
    QCOMPARE(folder.readFile(u"\\data\\error.dat"), typos);
    QCOMPARE(folder.readFile(u"\\data\\same.dat"), synonyms);
    QTRY_VERIFY(readAll(m_server.accessLog()).mid(logBefore).contains("action=samewords"));
    QVERIFY(!readAll(m_server.accessLog()).mid(logBefore).contains("GET /data/"));
}

QTEST_GUILESS_MAIN(TestServiceContent)
#include "tst_service_content.moc"
