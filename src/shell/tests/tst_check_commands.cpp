#include "command_fixture.h"
#include "shell/check_commands.h"
#include "shell/command_context.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// A main window reduced to what the check commands use.
struct Window : CommandWindow
{
    CheckCommands *commands = new CheckCommands(context);
};

} // namespace

class TestCheckCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void controls_areNamedAndPlaced();
    void typoCheck_answerDecidesMarksOrCorrections_data();
    void typoCheck_answerDecidesMarksOrCorrections();
    void typoCheck_nothingFound_asksNothing();
    void typoCheck_missingLibrary_triesAgainNextTime();
    void typoCheck_textMode_refused();
    void sensitiveWords_answerDecidesHighlight_data();
    void sensitiveWords_answerDecidesHighlight();
    void sensitiveWords_noneFound();
    void sensitiveWords_looseAsTheSettingSaysAtEachClick();
    void wordCount_editorAndTextMode();
    void wordCount_seoMode_refusedLabelKept();

private:
    std::unique_ptr<TempAppFolder> m_app;
};

void TestCheckCommands::init()
{
    m_app.reset(); // restores the previous folder before the new one takes over
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(m_app->writeFile(u"\\data\\error.dat", toGbk(u"的的|的\r\n按装|安装\r\n"_s)));
    QVERIFY(m_app->writeFile(u"\\data\\hexie.dat", toGbk(u"赌博\r\n六合彩\r\n"_s)));
}

void TestCheckCommands::controls_areNamedAndPlaced()
{
    Window w;
    QCOMPARE(w.window.findChild<QPushButton *>(u"cmdChkWrong"_s)->text(), u"文字检错"_s);
    QCOMPARE(w.window.findChild<QPushButton *>(u"cmdBan"_s)->text(), u"检测敏感字词"_s);
    QCOMPARE(w.window.findChild<QPushButton *>(u"imgChkWordNums"_s)->text(), u"统计字数"_s);
    QCOMPARE(w.window.findChild<QLabel *>(u"lblWordNums"_s)->text(), u"0个"_s);
    QCOMPARE(w.window.findChild<QLabel *>(u"Label14"_s)->text(), u"字数:"_s);
    // A second command on a taken key is refused, and said so.
    QTest::ignoreMessage(QtWarningMsg, "shortcut Ctrl+T is taken already; the second command gets no key");
    QVERIFY2(!w.context.addShortcut(Qt::CTRL | Qt::Key_T, [] {}), "Ctrl+T belongs to the count");
}

void TestCheckCommands::typoCheck_answerDecidesMarksOrCorrections_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("article");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("cancel keeps the marks")
        << false << u"<p>我的的书<font color=red>按装</font></p>"_s.replace(u"的的"_s, u"<font color=red>的的</font>"_s)
        << QStringList{u"首次使用,正在载入错别字库..."_s, u"发现错字2处错字..."_s, u"文字检错结束,共有2处错字."_s};
    QTest::newRow("OK corrects") << true << u"<p>我的书安装</p>"_s
                                 << QStringList{u"首次使用,正在载入错别字库..."_s, u"发现错字2处错字..."_s,
                                                u"正在替换错字..."_s, u"文字检错结束,共有2处错字."_s};
}

void TestCheckCommands::typoCheck_answerDecidesMarksOrCorrections()
{
    QFETCH(bool, answer);
    QFETCH(QString, article);
    QFETCH(QStringList, messages);
    Window w;
    w.view.answer = answer;
    w.host.setArticle(u"<p>我的的书按装</p>"_s);
    w.commands->cmdChkWrong_clicked();
    QCOMPARE(w.host.article(), article);
    QCOMPARE(w.view.formatTexts, messages);
    QCOMPARE(w.view.questions, QStringList{u"发现错别字：|共发现2处错别字，是否替换？"_s});
    QVERIFY(w.window.findChild<QPushButton *>(u"cmdChkWrong"_s)->isEnabled());

    w.view.formatTexts.clear();
    w.commands->cmdChkWrong_clicked();
    QCOMPARE(w.view.formatTexts.value(0), u"正在执行文字检错,请稍候..."_s);
}

void TestCheckCommands::typoCheck_nothingFound_asksNothing()
{
    Window w;
    w.host.setArticle(u"<p>安装</p>"_s);
    w.commands->cmdChkWrong_clicked();
    QCOMPARE(w.host.article(), u"<p>安装</p>"_s);
    QVERIFY(w.view.questions.isEmpty());
    QCOMPARE(w.view.formatTexts.last(), u"文字检错结束,共有0处错字."_s);
}

void TestCheckCommands::typoCheck_missingLibrary_triesAgainNextTime()
{
    QVERIFY(QFile::remove(m_app->path(u"\\data\\error.dat")));
    Window w;
    w.host.setArticle(u"按装"_s);
    w.commands->cmdChkWrong_clicked();
    w.commands->cmdChkWrong_clicked();
    QCOMPARE(w.view.formatTexts, (QStringList{u"首次使用,正在载入错别字库..."_s, u"文字检错结束,共有0处错字."_s,
                                              u"首次使用,正在载入错别字库..."_s, u"文字检错结束,共有0处错字."_s}));
    QCOMPARE(w.host.article(), u"按装"_s);
}

void TestCheckCommands::typoCheck_textMode_refused()
{
    Window w;
    w.host.setArticle(u"按装"_s);
    w.session.toggleTextMode();
    QVERIFY(w.session.textMode());
    w.view.messages.clear();
    w.commands->cmdChkWrong_clicked();
    w.commands->cmdBan_clicked();
    QCOMPARE(w.view.messages, (QStringList{u"文本模式不能执行该操作。"_s, u"文本模式不能执行该操作。"_s}));
    QVERIFY(w.view.questions.isEmpty());
}

void TestCheckCommands::sensitiveWords_answerDecidesHighlight_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("article");
    QTest::newRow("cancel leaves the article") << false << u"赌博和赌博"_s;
    QTest::newRow("OK highlights every occurrence")
        << true << u"<font color=red>赌博</font>和<font color=red>赌博</font>"_s;
}

void TestCheckCommands::sensitiveWords_answerDecidesHighlight()
{
    QFETCH(bool, answer);
    QFETCH(QString, article);
    Window w;
    w.view.answer = answer;
    w.host.setArticle(u"赌博和赌博"_s);
    w.commands->cmdBan_clicked();
    QCOMPARE(w.host.article(), article);
    QCOMPARE(w.view.formatTexts, (QStringList{u"首次使用,正在载入敏感字库..."_s, u"发现敏感字词1处..."_s}));
    QCOMPARE(w.view.questions, QStringList{u"发现敏感字词：|共发现1处敏感字词，是否高亮显示？"_s});
}

void TestCheckCommands::sensitiveWords_noneFound()
{
    Window w;
    w.host.setArticle(u"你好"_s);
    w.commands->cmdBan_clicked();
    w.commands->cmdBan_clicked();
    QCOMPARE(w.view.formatTexts, (QStringList{u"首次使用,正在载入敏感字库..."_s, u"没有发现敏感字词..."_s,
                                              u"正在监测敏感字词,请稍候..."_s, u"没有发现敏感字词..."_s}));
    QVERIFY(w.view.questions.isEmpty());
    QCOMPARE(w.host.article(), u"你好"_s);
}

// The setting is read at each click: the check sees through disguise while it
// is on, and is literal again once it is off, in the same run.
void TestCheckCommands::sensitiveWords_looseAsTheSettingSaysAtEachClick()
{
    QVERIFY(m_app->writeSettings(u"[Format]\r\nSensitiveLoose=1"_s));
    Window w;
    w.view.answer = true;
    w.host.setArticle(u"赌-博和賭博"_s);
    w.commands->cmdBan_clicked();
    QCOMPARE(w.host.article(), u"<font color=red>赌-博</font>和<font color=red>賭博</font>"_s);
    QCOMPARE(w.view.formatTexts.last(), u"发现敏感字词2处..."_s);

    QVERIFY(m_app->writeSettings(u"[Format]\r\nSensitiveLoose=0"_s));
    w.host.setArticle(u"赌-博和賭博"_s);
    w.commands->cmdBan_clicked();
    QCOMPARE(w.host.article(), u"赌-博和賭博"_s);
    QCOMPARE(w.view.formatTexts.last(), u"没有发现敏感字词..."_s);
}

void TestCheckCommands::wordCount_editorAndTextMode()
{
    Window w;
    w.host.setArticle(u"<p>a&nbsp;b</p>\r\n<p>c</p>"_s);
    w.commands->imgChkWordNums_clicked();
    QCOMPARE(w.commands->lblWordNums->text(), u"25个[源码] 9个[文本]"_s);

    w.session.toggleTextMode();
    w.view.textBox = u"ab\r\ncd"_s;
    w.commands->imgChkWordNums_clicked();
    QCOMPARE(w.commands->lblWordNums->text(), u"6个"_s);
}

void TestCheckCommands::wordCount_seoMode_refusedLabelKept()
{
    Window w;
    w.host.setArticle(u"abc"_s);
    w.session.setMode(ModeName::Seo);
    w.commands->imgChkWordNums_clicked();
    QCOMPARE(w.view.messages, QStringList{u"请切换至格式化或伪原创后再执行本操作。"_s});
    QCOMPARE(w.commands->lblWordNums->text(), u"0个"_s);
}

QTEST_MAIN(TestCheckCommands)
#include "tst_check_commands.moc"
