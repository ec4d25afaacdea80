#include "testsupport/object_names.h"
#include "update_fixture.h"
#include "updater/form1.h"
#include "updater/run_lock.h"
#include "updater/update_run.h"
#include "updater/update_texts.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Presses OK on every message box as it shows, and keeps its text.
class MessageAnswerer : public QObject
{
public:
    MessageAnswerer() { qApp->installEventFilter(this); }
    ~MessageAnswerer() override { qApp->removeEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                texts << box->text();
                QMetaObject::invokeMethod(
                    box, [box] { box->done(QMessageBox::Ok); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
};

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_haveUniqueNames();
    void run_isShownInTheWindow();
    void failure_letsTheUserLeave();
    void noUpdate_showsTheMessageAndEnds();
    void secondPatchwell_saysSoAndEnds();
    void command1_startsZorvaneAndEnds();
};

void TestForm1::controls_haveUniqueNames()
{
    TempAppFolder app;
    Form1 window;
    for (const QString &name :
         {u"Command1"_s, u"Label1"_s, u"Picture1"_s, u"lblStatus"_s, u"lbljindu"_s, u"picJindu"_s})
        QVERIFY2(window.findChild<QWidget *>(name), qPrintable(name));
    QCOMPARE(duplicatedObjectNames(&window), QStringList());
    QCOMPARE(window.lblStatus->textFormat(), Qt::PlainText);
}

void TestForm1::run_isShownInTheWindow()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    const QByteArray package = UpdateFixture::package("echo ok\n", {QByteArray(997, 'f')});
    fixture.list().respond(200, "<b>v2|s2|/p");
    fixture.signFor({u"<b>v2"_s, u"s2"_s, u"/p"_s}, package);
    const QByteArray response = FakeHttpServer::httpResponse(200, package);
    const qsizetype half = response.size() / 2;
    fixture.server->on(u"/p"_s).chunks({response.left(half), response.mid(half)}).delay(300ms);

    MessageAnswerer answerer;
    Form1 window;
    window.start();
    QVERIFY(!window.isVisible());
    // Confirmed: the window shows the download under way.
    QTRY_VERIFY(window.isVisible());
    QTRY_COMPARE(window.lblStatus->text(), UpdateText::downloading(1, u"<b>v2"_s, 1));
    QTRY_VERIFY(window.lbljindu->text() != u"0%"_s);
    QVERIFY(window.lbljindu->text() != u"100%"_s);
    QVERIFY(window.picJindu->value() > 0);
    // Neither starting Zorvane nor leaving while the package installs.
    QVERIFY(!window.Command1->isEnabled());
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());

    QTRY_COMPARE(window.lblStatus->text(), UpdateText::succeeded());
    QVERIFY(window.Command1->isEnabled());
    QCOMPARE(answerer.texts, QStringList{UpdateText::updatesFound(1)});
    QCOMPARE(window.lbljindu->text(), u"100%"_s);
    QCOMPARE(window.picJindu->value(), int((package.size() - 1) * 4335 / package.size()));
}

void TestForm1::failure_letsTheUserLeave()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "v2|s2|/p");
    fixture.signFor({u"v2"_s, u"s2"_s, u"/p"_s}, "package");
    fixture.server->on(u"/p"_s).respond(404, "");

    MessageAnswerer answerer;
    Form1 window;
    QSignalSpy ended(&window, &Form1::ended);
    window.start();
    QTRY_VERIFY(window.lblStatus->text().startsWith(UpdateText::networkFailure()));
    QVERIFY(window.Command1->isEnabled());
    QVERIFY(window.close());
    QCOMPARE(ended.size(), 1);
}

void TestForm1::noUpdate_showsTheMessageAndEnds()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    fixture.list().respond(200, "");
    MessageAnswerer answerer;
    Form1 window;
    QSignalSpy ended(&window, &Form1::ended);
    window.start();
    QVERIFY(ended.wait());
    QCOMPARE(answerer.texts, QStringList{UpdateText::noUpdate()});
    QVERIFY(!window.isVisible());
}

void TestForm1::secondPatchwell_saysSoAndEnds()
{
    UpdateFixture fixture;
    QVERIFY(fixture.isValid());
    RunLock first;
    QCOMPARE(first.tryLock(fixture.app->folder().root()), RunLock::Result::Locked);
    MessageAnswerer answerer;
    Form1 window;
    QSignalSpy ended(&window, &Form1::ended);
    window.start();
    QVERIFY(ended.wait());
    QCOMPARE(answerer.texts, QStringList{UpdateText::alreadyRunning()});
    QVERIFY(!window.isVisible());
    QVERIFY(fixture.server->requests().isEmpty());
}

void TestForm1::command1_startsZorvaneAndEnds()
{
    TempAppFolder app;
    // A stand-in for the main program that says where it was started.
    QVERIFY(app.writeFile(u"\\Zorvane", "#!/bin/sh\npwd > started.txt\n"));
    QVERIFY(QFile::setPermissions(app.path(u"\\Zorvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    Form1 window;
    window.show();
    QSignalSpy ended(&window, &Form1::ended);
    window.Command1->click();
    QCOMPARE(ended.size(), 1);
    QVERIFY(!window.isVisible());
    QTRY_VERIFY(!app.readFile(u"\\started.txt").isEmpty());
    QCOMPARE(QDir(QString::fromLocal8Bit(app.readFile(u"\\started.txt").trimmed())).canonicalPath(),
             QDir(app.folder().root()).canonicalPath());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
