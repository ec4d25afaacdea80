#include "testsupport/temp_app_folder.h"

#include "text/gbk.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

// The hand-off helper, run as the desktop entry runs it, from a copy in a
// temporary application folder; this test owns the X selection and the
// clipboard it reads.
class TestHandoffHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void takesTheSelectionElseTheClipboard_data();
    void takesTheSelectionElseTheClipboard();

private:
    static void offer(QClipboard::Mode mode, const QString &text, const QString &html);
};

void TestHandoffHelper::initTestCase()
{
    if (!QGuiApplication::clipboard()->supportsSelection())
        QSKIP("needs an X server with a primary selection (CTest runs this under xvfb-run)");
}

void TestHandoffHelper::offer(QClipboard::Mode mode, const QString &text, const QString &html)
{
    if (text.isEmpty() && html.isEmpty()) {
        QGuiApplication::clipboard()->clear(mode);
        return;
    }
    auto *data = new QMimeData;
    data->setText(text);
    if (!html.isEmpty())
        data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data, mode);
}

void TestHandoffHelper::takesTheSelectionElseTheClipboard_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("selectionHtml");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QByteArray>("handedOff"); // empty: the file is left alone

    QTest::newRow("selected text, line breaks kept, markup escaped")
        << u"第一段\n第二段 <b>"_s << QString() << u"剪贴板"_s << toGbk(u"第一段<br>第二段 &lt;b&gt;"_s);
    QTest::newRow("selection from a browser keeps its HTML")
        << u"粗体"_s << u"<html><body><!--StartFragment--><b>粗体</b><!--EndFragment--></body></html>"_s << QString()
        << toGbk(u"<b>粗体</b>"_s);
    QTest::newRow("blank selection: the clipboard") << u" \n "_s << QString() << u"剪贴板"_s << toGbk(u"剪贴板"_s);
    QTest::newRow("nothing anywhere") << QString() << QString() << QString() << QByteArray();
}

void TestHandoffHelper::takesTheSelectionElseTheClipboard()
{
    QFETCH(QString, selection);
    QFETCH(QString, selectionHtml);
    QFETCH(QString, clipboard);
    QFETCH(QByteArray, handedOff);

    TempAppFolder folder;
    const QString helper = folder.path(u"\\zorvane-handoff");
    QVERIFY(QFile::copy(QString::fromUtf8(ZORVANE_HANDOFF), helper));
    QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // Zorvane's stand-in notes that it was started, and from where.
    QFile zorvane(folder.path(u"\\Zorvane"));
    QVERIFY(zorvane.open(QIODevice::WriteOnly));
    zorvane.write("#!/bin/sh\npwd > \"$0.ran.part\" && mv \"$0.ran.part\" \"$0.ran\"\n");
    zorvane.close();
    QVERIFY(zorvane.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    offer(QClipboard::Selection, selection, selectionHtml);
    offer(QClipboard::Clipboard, clipboard, QString());

    // The helper asks this process for the selection: keep its events going.
    QProcess process;
    QSignalSpy ended(&process, &QProcess::finished);
    process.start(helper, {});
    QVERIFY(ended.wait(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    QCOMPARE(folder.readFile(u"\\html\\cache.html"), handedOff);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.path(u"\\Zorvane.ran")), 10000);
    QCOMPARE(folder.readFile(u"\\Zorvane.ran").trimmed(), QFile::encodeName(folder.folder().root()));
}

QTEST_MAIN(TestHandoffHelper)
#include "tst_handoff_helper.moc"
