#include "net/service_checks.h"
#include "net/service_client.h"
#include "shell/hand_off.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestHandOff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void takeActivationText_data();
    void takeActivationText();
    void leaveHandOffText_writesGbkIntoANewFolder();
    void announcedUpdate_startsTheUpdaterWithItsArgument();

private:
    // A shell script standing in for a program of the folder: it records its
    // arguments and working folder in "<name>.ran".
    static bool writeStandIn(const TempAppFolder &folder, Program program);
};

bool TestHandOff::writeStandIn(const TempAppFolder &folder, Program program)
{
    const QString path = programPath(folder.folder(), program);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" \"$(pwd)\" > \"$0.ran.part\" && mv \"$0.ran.part\" \"$0.ran\"\n");
    script.close();
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestHandOff::takeActivationText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text");
    QTest::newRow("article") << QByteArray("<p>hello</p>\r\n") << true << u"<p>hello</p>\r\n"_s;
    QTest::newRow("GBK article") << QByteArray("\xD6\xD0\xCE\xC4") << true << u"中文"_s;
    QTest::newRow("only blanks and line breaks") << QByteArray("  \r\n\r\n \t ") << false << QString();
    QTest::newRow("already emptied") << QByteArray("\r\n") << false << QString();
}

void TestHandOff::takeActivationText()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, taken);
    QFETCH(QString, text);
    TempAppFolder folder;
    QVERIFY(folder.writeFile(u"\\html\\cache.html", file));
    const std::optional<QString> got = ::takeActivationText(folder.folder());
    QCOMPARE(got.has_value(), taken);
    if (got)
        QCOMPARE(*got, text);
    // The file is taken away whole, blank or not: what is taken is taken once.
    QVERIFY(!QFile::exists(folder.path(u"\\html\\cache.html")));
    QCOMPARE(QDir(folder.path(u"\\html")).entryList({u"cache.html*"_s}, QDir::Files), QStringList());
    QVERIFY(!::takeActivationText(folder.folder()));
}

void TestHandOff::leaveHandOffText_writesGbkIntoANewFolder()
{
    TempAppFolder folder;
    QVERIFY(QDir(folder.path(u"\\html")).removeRecursively());
    QVERIFY(leaveHandOffText(folder.folder(), u"中文<br>second"_s));
    QCOMPARE(folder.readFile(u"\\html\\cache.html"), QByteArray("\xD6\xD0\xCE\xC4<br>second"));
    // A missing file reads as nothing to take.
    QVERIFY(QFile::remove(folder.path(u"\\html\\cache.html")));
    QVERIFY(!::takeActivationText(folder.folder()));
    QVERIFY(!QFile::exists(folder.path(u"\\html\\cache.html")));
}

void TestHandOff::announcedUpdate_startsTheUpdaterWithItsArgument()
{
    TempAppFolder folder;
    QVERIFY(writeStandIn(folder, Program::Patchwell));
    FakeHttpServer server;
    QVERIFY(server.serve(Cfg::Servers::Service));
    server.on(u"/index.php?m=show&action=upnew&time="_s).respond(200, "a|b|c");
    QVERIFY(folder.writeFile(u"\\setting\\update.pub", "untrusted comment: the maker's key\n"));

    ServiceClient client;
    ServiceChecks checks(client);
    // What the shell does with the hand-over.
    bool started = false;
    connect(&checks, &ServiceChecks::handOverRequested, this, [&](const std::optional<QString> &argument) {
        if (argument)
            started = startProgram(folder.folder(), Program::Patchwell, {*argument});
    });
    QSignalSpy finished(&checks, &ServiceChecks::finished);
    checks.start();
    QTRY_VERIFY_WITH_TIMEOUT(started, 10000);
    const QString ran = folder.path(u"\\Patchwell.ran"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 10000);
    QFile record(ran);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(record.readAll()), u"c|a|b\n"_s + folder.folder().root() + u'\n');
    QCOMPARE(finished.size(), 0);
    QVERIFY(!checks.passedNoticeStep());
}

QTEST_GUILESS_MAIN(TestHandOff)
#include "tst_hand_off.moc"
