#include "editor/editor_scheme.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "main_window_fixture.h"
#include "net/service_client.h"
#include "seo_fakes.h"
#include "settings/config_keys.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/editor_commands.h"
#include "shell/frm_format.h"
#include "shell/notice_bar.h"
#include "shell/seo_commands.h"
#include "shell/user_area.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/object_names.h"
#include "testsupport/temp_app_folder.h"
#include "testsupport/url_catcher.h"
#include "text/gbk.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

using namespace Qt::StringLiterals;
using namespace zorvane;
using namespace std::chrono_literals;

namespace {

const QString FormatDefault = u"<p>今日格式化说明</p>"_s;
const QString YcDefault = u"<p>今日伪原创说明</p>"_s;

} // namespace

// The main window over the real editor page, with the service server faked
// on 127.0.0.1.
class TestFrmFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void guestStart_showsFormatModeAndTodaysText();
    void modeButtons_swapDefaultTextsOnlyWhileUntouched();
    void defaultTextsShownToday_areNotFetched();
    void startModeYc_showsYcPanel();
    void startModeSeo_queriesTheMakersSiteOnce();
    void handOffText_opensInYcMode();
    void advertisement_showsPictureAndOpensLink();
    void notices_rotateAndOpenTheirLinks();
    void shortcuts_clearAndRefuseWithMessage();
    void textMode_showsTextBoxOverEditor();
    void featureCommands_addControlsAndKeys();
    void close_quitsUnlessTrayHolds();
    void controls_eachNameOnce();

private:
    frmFormat *openWindow(frmFormat::Options options = {});
    QString article();

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<ServiceClient> m_service;
    std::unique_ptr<frmFormat> m_window;
    QStringList m_messages;
};

void TestFrmFormat::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(installBuiltEditorPage(*m_folder));
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->serve(Cfg::Servers::Service));
    QVERIFY(m_server->serve(Cfg::Servers::Forum));
    m_server->on(u"/index.php?m=show&action=format"_s).respond(200, FakeHttpServer::gbk(FormatDefault));
    m_server->on(u"/index.php?m=show&action=yc"_s).respond(200, FakeHttpServer::gbk(YcDefault));
    m_service = std::make_unique<ServiceClient>();
    m_service->setTimeout(5s);
    m_messages.clear();
}

void TestFrmFormat::cleanup()
{
    m_window.reset();
    m_service.reset();
    m_server.reset();
    m_folder.reset();
}

frmFormat *TestFrmFormat::openWindow(frmFormat::Options options)
{
    if (!options.service)
        options.service = m_service.get();
    m_window = openLoadedWindow(options, &m_messages);
    return m_window.get();
}

QString TestFrmFormat::article()
{
    return getEditorHtml(m_window->editorHost()).value_or(u"<no answer>"_s);
}

void TestFrmFormat::guestStart_showsFormatModeAndTodaysText()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    QCOMPARE(w->mode(), ModeName::Format);
    QCOMPARE(article(), FormatDefault);
    QCOMPARE(configText(Cfg::Form::ShowDefault), QDate::currentDate().toString(u"yyyy-MM-dd"_s));
    QVERIFY(w->frm1->isVisible());
    QVERIFY(!w->frm2->isVisible());
    QVERIFY(!w->cmdFormat->isEnabled());
    QVERIFY(w->cmdYC->isEnabled());
    // The statistics panel holds its commands, so its mode is offered; its
    // site query waits for the first entry.
    QVERIFY(w->cmdSEO->isVisible());
    QVERIFY(!w->frm3->isVisible());
    QVERIFY(!w->findChild<SeoCommands *>()->statisticsStarted());
    QCOMPARE(w->lblTitle->text(), u"Zorvane——Quillboxv1.0（内测版）"_s);
    QCOMPARE(w->userArea().lblPoint->text(), u"0"_s);
    QCOMPARE(w->userArea().lblKestCoin->text(), u"0枚"_s);
    QVERIFY(!w->userArea().lblUsername->text().isEmpty());
    QVERIFY(w->userArea().lblReg->isVisible());
    QVERIFY(!w->noticeBar().imgAd->isVisible());
    QVERIFY(w->lblVision->text().startsWith(u"版本:"_s));
    QVERIFY(m_messages.isEmpty());
}

void TestFrmFormat::modeButtons_swapDefaultTextsOnlyWhileUntouched()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    QSignalSpy modes(&w->commands(), &CommandContext::modeChanged);
    QTest::mouseClick(w->cmdYC, Qt::LeftButton);
    QCOMPARE(w->mode(), ModeName::Yc);
    QVERIFY(w->frm2->isVisible());
    QVERIFY(!w->frm1->isVisible());
    QCOMPARE(article(), YcDefault);
    QCOMPARE(modes.size(), 1);
    QCOMPARE(modes.first().first().toString(), ModeName::Yc);

    QTest::mouseClick(w->cmdFormat, Qt::LeftButton);
    QCOMPARE(article(), FormatDefault);

    QVERIFY(setEditorHtml(w->editorHost(), u"<p>我的文章</p>"_s));
    QTest::mouseClick(w->cmdYC, Qt::LeftButton);
    QCOMPARE(article(), u"<p>我的文章</p>"_s);
}

void TestFrmFormat::defaultTextsShownToday_areNotFetched()
{
    const QString today = QDate::currentDate().toString(u"yyyy-MM-dd"_s);
    QVERIFY(setConfigText(Cfg::Form::ShowDefault, today));
    QVERIFY(setConfigText(Cfg::Form::ShowDefaultYC, today));
    frmFormat *w = openWindow();
    QVERIFY(w);
    QVERIFY(m_server->requestsFor(u"/index.php?m=show&action=format"_s).isEmpty());
    QVERIFY(m_server->requestsFor(u"/index.php?m=show&action=yc"_s).isEmpty());
    QCOMPARE(article(), QString());
}

void TestFrmFormat::startModeYc_showsYcPanel()
{
    QVERIFY(setConfigText(Cfg::Default::Form, u"2"_s));
    frmFormat *w = openWindow();
    QVERIFY(w);
    QCOMPARE(w->mode(), ModeName::Yc);
    QVERIFY(w->frm2->isVisible());
    QCOMPARE(article(), YcDefault);
    QCOMPARE(configText(Cfg::Form::ShowDefaultYC), QDate::currentDate().toString(u"yyyy-MM-dd"_s));
}

void TestFrmFormat::startModeSeo_queriesTheMakersSiteOnce()
{
    SeoFakes::SeoServers servers;
    QVERIFY(servers.serveAll());
    servers.answer(u"example.com"_s, SeoFakes::Figures{});
    QVERIFY(setConfigText(Cfg::Servers::Site, u"example.com"_s));
    QVERIFY(setConfigText(Cfg::Default::Form, u"3"_s));
    frmFormat *w = openWindow();
    QVERIFY(w);
    QCOMPARE(w->mode(), ModeName::Seo);
    QVERIFY(w->frm3->isVisible());
    QVERIFY(!w->frm1->isVisible());
    QVERIFY(!w->cmdSEO->isEnabled());
    SeoCommands *seo = w->findChild<SeoCommands *>();
    QCOMPARE(seo->txtUrl->text(), u"example.com"_s);
    QTRY_COMPARE(seo->lblFriendLink->text(), u"42"_s);
    QTRY_COMPARE(seo->lblBaidu->text(), u"1,230"_s);

    QTest::mouseClick(w->cmdFormat, Qt::LeftButton);
    QTest::mouseClick(w->cmdSEO, Qt::LeftButton);
    QVERIFY(w->frm3->isVisible());
    QCOMPARE(seo->lblBaidu->text(), u"1,230"_s);
    QCOMPARE(servers.baidu.requests().size(), 1);
    QVERIFY(m_messages.isEmpty());
}

void TestFrmFormat::handOffText_opensInYcMode()
{
    QVERIFY(m_folder->writeFile(u"\\html\\cache.html", toGbk(u"<p>从浏览器带来的文字</p>"_s)));
    frmFormat *w = openWindow();
    QVERIFY(w);
    QCOMPARE(w->mode(), ModeName::Yc);
    QVERIFY(w->frm2->isVisible());
    QVERIFY(!w->frm1->isVisible());
    QCOMPARE(article(), u"<p>从浏览器带来的文字</p>"_s);
    QCOMPARE(m_folder->readFile(u"\\html\\cache.html"), QByteArray());
    QVERIFY(m_server->requestsFor(u"/index.php?m=show&action=yc"_s).isEmpty());
}

void TestFrmFormat::advertisement_showsPictureAndOpensLink()
{
    QVERIFY(QDir().mkpath(m_folder->path(u"\\html")));
    QImage picture(120, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(m_folder->path(u"\\html\\ad.png")));
    m_server->on(u"/index.php?m=show&action=ad"_s).respond(200, "ad.png|http://ad.example/go");
    frmFormat *w = openWindow();
    QVERIFY(w);
    QTRY_VERIFY(w->noticeBar().imgAd->isVisible());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"http"_s, &catcher, "open");
    QTest::mouseClick(w->noticeBar().imgAd, Qt::LeftButton);
    QTest::mouseClick(w->userArea().lblReg, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QCOMPARE(catcher.opened.size(), 2);
    QCOMPARE(catcher.opened[0], QUrl(u"http://ad.example/go"_s));
    QCOMPARE(catcher.opened[1].path(), u"/member.php"_s);
    QCOMPARE(catcher.opened[1].port(), m_server->port());
}

void TestFrmFormat::notices_rotateAndOpenTheirLinks()
{
    frmFormat::Options options;
    options.notices = {
        {u"第一条"_s, QString()}, {u"第二条"_s, u"http://n.example/2"_s}, {u"<b>第三条</b>"_s, QString()}};
    frmFormat *w = openWindow(options);
    QVERIFY(w);
    QCOMPARE(w->noticeBar().lblNotice.size(), 3);
    // The service server's texts are never read as markup.
    QCOMPARE(w->noticeBar().lblNotice[2]->textFormat(), Qt::PlainText);
    QVERIFY(w->noticeBar().timNotice->isActive());
    QCOMPARE(w->noticeBar().timNotice->interval(), 5000);
    // The rotation is driven by hand from here on.
    w->noticeBar().timNotice->stop();
    w->noticeBar().setNotices(options.notices);
    w->noticeBar().timNotice->stop();
    auto visibleNotice = [w] {
        QStringList shown;
        for (ClickableLabel *label : w->noticeBar().lblNotice)
            if (label->isVisible())
                shown.append(label->text());
        return shown;
    };
    QCOMPARE(visibleNotice(), QStringList{u"第一条"_s});
    QVERIFY(QMetaObject::invokeMethod(&w->noticeBar(), "timNotice_timeout"));
    QCOMPARE(visibleNotice(), QStringList{u"第二条"_s});

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"http"_s, &catcher, "open");
    QTest::mouseClick(w->noticeBar().lblNotice[1], Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(u"http://n.example/2"_s)});

    QVERIFY(QMetaObject::invokeMethod(&w->noticeBar(), "timNotice_timeout"));
    QVERIFY(QMetaObject::invokeMethod(&w->noticeBar(), "timNotice_timeout"));
    QCOMPARE(visibleNotice(), QStringList{u"第一条"_s});

    w->noticeBar().setNotices({{u"唯一一条"_s, QString()}});
    QCOMPARE(w->noticeBar().lblNotice.size(), 1);
    QVERIFY(QMetaObject::invokeMethod(&w->noticeBar(), "timNotice_timeout"));
    QCOMPARE(visibleNotice(), QStringList{u"唯一一条"_s});

    // A link from the server that is no web address opens nothing: neither a
    // local file nor a program.
    const QStringList schemes{u"http"_s, u"file"_s};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    for (const QString &link : {u"file:///etc/passwd"_s, u"/usr/bin/xterm"_s, u"n.example/3"_s}) {
        w->noticeBar().setNotices({{u"链接"_s, link}});
        QTest::mouseClick(w->noticeBar().lblNotice[0], Qt::LeftButton);
    }
    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
    QCOMPARE(catcher.opened, (QList<QUrl>{QUrl(u"http://n.example/2"_s), QUrl(u"http://n.example/3"_s)}));
}

void TestFrmFormat::shortcuts_clearAndRefuseWithMessage()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(article(), FormatDefault);
    QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(article(), QString());

    // A guard's refusal goes to the message box (here, the test's sink).
    QVERIFY(setEditorHtml(w->editorHost(), u"<p>文章</p>"_s));
    QTest::mouseClick(w->editorCommands().lblPreView, Qt::LeftButton);
    QVERIFY(w->editor().previewOn());
    QVERIFY(w->webPre->isVisible());
    QVERIFY(!w->web->isVisible());
    QCOMPARE(w->editorCommands().lblPreView->text(), EditorText::PreviewOn);
    QTest::keyClick(w, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(m_messages, QStringList{EditorText::NotInPreview});
    QTest::mouseClick(w->editorCommands().lblPreView, Qt::LeftButton);
    QVERIFY(!w->editor().previewOn());
    QVERIFY(w->web->isVisible());

    QStringList offered;
    w->setFileChooser([&offered, this](const FileChoice &choice, bool save) {
        offered.append(choice.title);
        return save ? m_folder->path(u"\\data\\saved.txt") : QString();
    });
    QTest::keyClick(w, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(offered, QStringList{EditorText::SaveTitle});
    QCOMPARE(m_folder->readFile(u"\\data\\saved.txt"), toGbk(u"<p>文章</p>\r\n"_s));
    QCOMPARE(w->lblFormatAction->text(), EditorText::SaveDone);
}

void TestFrmFormat::textMode_showsTextBoxOverEditor()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    QVERIFY(setEditorHtml(w->editorHost(), u"<p>一段</p><p>两段</p>"_s));
    QTest::mouseClick(w->editorCommands().cmdText, Qt::LeftButton);
    QVERIFY(w->webText->isVisible());
    QVERIFY(!w->web->isVisible());
    QVERIFY(w->webText->toPlainText().contains(u"一段\n"_s));
    QCOMPARE(w->editorCommands().cmdText->text(), EditorText::TextModeOn);
    w->webText->setPlainText(u"<改>\n下一行"_s);
    QTest::mouseClick(w->editorCommands().cmdText, Qt::LeftButton);
    QVERIFY(w->web->isVisible());
    QCOMPARE(article(), u"&lt;改&gt;<br>下一行"_s);
}

void TestFrmFormat::featureCommands_addControlsAndKeys()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    CommandContext &context = w->commands();
    // What a feature does in its constructor.
    auto *cmdProbe = new QPushButton(u"大写"_s, w);
    cmdProbe->setObjectName(u"cmdProbe"_s);
    context.area(CommandContext::Area::FormatPanel)->addWidget(cmdProbe);
    auto upper = [&context] {
        if (!context.passes(CommandKind::ArticleCommand))
            return;
        const std::optional<QString> html = context.getEditorHtml();
        if (!html)
            return;
        context.setEditorHtml(html->toUpper());
        context.ShowMsg(u"完毕"_s);
    };
    QObject::connect(cmdProbe, &QPushButton::clicked, w, upper);
    QVERIFY(context.addShortcut(Qt::CTRL | Qt::Key_K, upper));
    QTest::ignoreMessage(QtWarningMsg, "shortcut Ctrl+D is taken already; the second command gets no key");
    QVERIFY(!context.addShortcut(Qt::CTRL | Qt::Key_D, [] {}));

    QCOMPARE(w->findChild<QPushButton *>(u"cmdProbe"_s), cmdProbe);
    QTRY_VERIFY(cmdProbe->isVisible());
    QCOMPARE(context.areaWidget(CommandContext::Area::FormatPanel), w->frm1);

    QVERIFY(setEditorHtml(w->editorHost(), u"<p>abc</p>"_s));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(article(), u"<p>ABC</p>"_s);
    QCOMPARE(w->lblFormatAction->text(), u"完毕"_s);

    // In text mode the article commands are refused by their guard.
    QTest::mouseClick(w->editorCommands().cmdText, Qt::LeftButton);
    QTest::mouseClick(cmdProbe, Qt::LeftButton);
    QCOMPARE(m_messages, QStringList{EditorText::NotInTextMode});
}

void TestFrmFormat::close_quitsUnlessTrayHolds()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    w->setHideOnClose(true);
    QVERIFY(!w->close());
    QVERIFY(!w->isVisible());
    QVERIFY(w->hiddenByClose());
    w->show();
    w->setHideOnClose(false);
    QVERIFY(w->close());
}

void TestFrmFormat::controls_eachNameOnce()
{
    frmFormat::Options options;
    options.notices = {{u"第一条"_s, QString()}, {u"第二条"_s, QString()}};
    frmFormat *w = openWindow(options);
    QVERIFY(w);
    // The notice labels are the system's control array: one name for all of
    // them, told apart by their index in lblNotice.
    const QStringList arrays{u"lblNotice"_s};
    QCOMPARE(duplicatedObjectNames(w, arrays), QStringList());
    QCOMPARE(w->findChildren<QLabel *>(u"lblNotice"_s).size(), 2);
    QCOMPARE(w->findChildren<QCheckBox *>(u"chkHeadSpace"_s).size(), 1);
    QCOMPARE(w->findChildren<QCheckBox *>(u"chkHref"_s).size(), 1);

    // The settings dialog has boxes of the same names; it is a window of its own.
    QTest::mouseClick(w->findChild<ClickableLabel *>(u"lblSetting"_s), Qt::LeftButton);
    QVERIFY(w->findChild<frmSetting *>());
    QCOMPARE(duplicatedObjectNames(w, arrays), QStringList());
}

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(u"1.0.0"_s);
    TestFrmFormat test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frm_format.moc"
