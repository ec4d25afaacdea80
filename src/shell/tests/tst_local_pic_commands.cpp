// 图片本地化 on the main window, over the real editor page, against pictures
// served on 127.0.0.1.
#include "editor/editor_host.h"
#include "editor/editor_scheme.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "main_window_fixture.h"
#include "shell/editor_commands.h"
#include "shell/frm_format.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/test_pictures.h"
#include "testsupport/url_catcher.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestLocalPicCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cmdLocalPic_savesThePastedArticlesPictures();
    void cmdLocalPic_refusesWithoutPicturesAndInTextMode();

private:
    frmFormat *openWindow();
    QString article();
    QStringList pictureFolders() const;

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<frmFormat> m_window;
    QStringList m_messages;
};

void TestLocalPicCommands::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(installBuiltEditorPage(*m_folder));
    QVERIFY(
        m_folder->writeSettings(u"[ResizePic]\nResize=1\nMaxWidth=200\nSmall=1\nStrong=2\n[Servers]\nTimeout=5\n"_s));
    m_messages.clear();
}

void TestLocalPicCommands::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

frmFormat *TestLocalPicCommands::openWindow()
{
    m_window = openLoadedWindow(frmFormat::Options{}, &m_messages);
    return m_window.get();
}

QString TestLocalPicCommands::article()
{
    return getEditorHtml(m_window->editorHost()).value_or(u"<no answer>"_s);
}

QStringList TestLocalPicCommands::pictureFolders() const
{
    return QDir(m_folder->path(u"\\img")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

void TestLocalPicCommands::cmdLocalPic_savesThePastedArticlesPictures()
{
    FakeHttpServer server;
    server.on(u"/1.jpg"_s).respond(200, encodedPicture(photoImage(400, 300), "jpeg", 95), "image/jpeg");
    // A plain icon is smaller as it is than any compression of it.
    QImage icon(24, 24, QImage::Format_RGB32);
    icon.fill(Qt::darkBlue);
    server.on(u"/2.png"_s).respond(200, encodedPicture(icon, "png"), "image/png");
    const QString base = u"http://"_s + server.address();
    frmFormat *w = openWindow();
    QVERIFY(w);

    auto *mime = new QMimeData;
    mime->setHtml(
        u"<p>新闻正文</p><p><img src='%1/1.jpg'></p><p><img src='%1/2.png'><img src='%1/gone.gif'></p>"_s.arg(base));
    QGuiApplication::clipboard()->setMimeData(mime);
    QTest::mouseClick(w->editorCommands().cmdPaste1, Qt::LeftButton);
    const QString pasted = article();
    QVERIFY2(pasted.contains(u"/gone.gif"_s), qPrintable(pasted));

    auto *button = w->findChild<QPushButton *>(u"cmdLocalPic"_s);
    QVERIFY(button && button->isVisible());
    QCOMPARE(button->text(), u"图片本地化"_s);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!m_messages.isEmpty(), 30000);
    QDesktopServices::unsetUrlHandler(u"file"_s);

    QCOMPARE(pictureFolders().size(), 1);
    const QString folder = m_folder->path(u"\\img\\") + pictureFolders().first();
    QVERIFY2(QRegularExpression(u"^\\d{8}-\\d{6}$"_s).match(pictureFolders().first()).hasMatch(), qPrintable(folder));
    QCOMPARE(m_messages, QStringList{u"已保存2张图片，失败1张："_s + folder});
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), (QStringList{u"01.jpg"_s, u"02.png"_s, u"list.txt"_s}));
    QCOMPARE(QImage(folder + u"/01.jpg"_s).size(), QSize(200, 150));
    QFile list(folder + u"/list.txt"_s);
    QVERIFY(list.open(QIODevice::ReadOnly));
    QVERIFY(list.readAll().contains(QByteArray("03\t" + base.toUtf8() + "/gone.gif\tHTTP 404\n")));
    QVERIFY(button->isEnabled());
    QCOMPARE(w->lblFormatAction->text(), u"图片保存完毕..."_s);
    QCOMPARE(article(), pasted);
}

void TestLocalPicCommands::cmdLocalPic_refusesWithoutPicturesAndInTextMode()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    auto *button = w->findChild<QPushButton *>(u"cmdLocalPic"_s);
    QVERIFY(button);
    QVERIFY(setEditorHtml(w->editorHost(), u"<p>没有图片<img src='local.jpg'></p>"_s));
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(w->editorCommands().cmdText, Qt::LeftButton);
    QVERIFY(w->editor().textMode());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_messages, (QStringList{u"文章中没有图片。"_s, u"文本模式不能执行该操作。"_s}));
    QCOMPARE(pictureFolders(), QStringList());
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    TestLocalPicCommands test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_local_pic_commands.moc"
