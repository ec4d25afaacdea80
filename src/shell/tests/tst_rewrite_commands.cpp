#include "command_fixture.h"
#include "editor/editor_texts.h"
#include "format/format_html.h"
#include "rewrite/rewrite_texts.h"
#include "settings/config_keys.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/rewrite_commands.h"
#include "snapshot/settings_snapshot.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "translation_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace zorvane;
using TranslationPages::answerPage;

namespace {

// The "yc" panel on a window without a browser: the article lives in memory.
struct Panel : CommandWindow
{
    TempAppFolder app;
    RewriteCommands *commands = new RewriteCommands(context);

    Panel() { session.setMode(ModeName::Yc); }
};

const QString Article = u"<p>今天很美丽。明天也很美丽。</p><p>第二段漂亮。</p><p>第三段落。</p>"_s;

// The article as the one-key pseudo-original's formatting run leaves it, with
// the settings of the current application folder.
QString pseudoFormatted(const QString &html)
{
    const FormatOptions format = readSettingsSnapshot().format;
    return FormatHtml(html, FormatMode::PseudoOriginal, format, CheckOptions(), TypoIndex());
}

// The panel with the translation service on a fake server that gives up
// after a second.
struct TranslatePanel : Panel
{
    FakeHttpServer server;
    const bool ready = server.serve(Cfg::Servers::TranslateAddress) && setConfigInt(Cfg::Servers::Timeout, 1);

    bool waitUntilIdle() const
    {
        return QTest::qWaitFor([this] { return frm2->isEnabled(); }, 5000);
    }
};

} // namespace

class TestRewriteCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_namedWithCaptions();
    void articleCommands_refusedInPreviewAndTextMode_data();
    void articleCommands_refusedInPreviewAndTextMode();
    void replaceSame_loadsLibraryOnFirstUseOnly_data();
    void replaceSame_loadsLibraryOnFirstUseOnly();
    void wholeWords_withoutDictionary_saysSoAndKeepsArticle_data();
    void wholeWords_withoutDictionary_saysSoAndKeepsArticle();
    void shuffle_withoutStrength_showsBoxAndKeepsArticle();
    void shuffle_reordersAndFormats();
    void oneKey_withoutStrength_keepsArticle();
    void oneKey_bothUnchecked_onlyFormats();
    void oneKey_loadsSynonymLibraryOnFirstUseOnly();
    void oneKey_ctrlWOnlyInYcMode();
    void simFan_togglesDirectionAndCaption();
    void simFan_pageNotAnswering_keepsCaption();
    void import_hintThenReplaceLibrary();
    void import_formatError_showsBox();
    void export_writesChosenFileOrSaysWhy();
    void z2y_twoClicksTranslateThereAndBack();
    void z2y_captionTurnsOnlyWithArticle_data();
    void z2y_captionTurnsOnlyWithArticle();
};

void TestRewriteCommands::controls_namedWithCaptions()
{
    Panel panel;
    const auto text = [&](const char *name) {
        auto *button = panel.frm2->findChild<QAbstractButton *>(QString::fromLatin1(name));
        return button ? button->text() : QString();
    };
    QCOMPARE(text("cmdReplaceSame"), u"同义词替换"_s);
    QCOMPARE(text("cmdRe"), u"打乱结构"_s);
    QCOMPARE(text("cmdOneKeyYC"), u"一键伪原创"_s);
    QCOMPARE(text("cmdSimFan"), u"简->繁"_s);
    QCOMPARE(text("cmdZ2Y"), u"中->英"_s);
    QCOMPARE(panel.frm2->findChild<ClickableLabel *>(u"Label2"_s)->text(), u"导入"_s);
    QCOMPARE(panel.frm2->findChild<ClickableLabel *>(u"Label4"_s)->text(), u"导出"_s);
    auto *cbRe = panel.frm2->findChild<QComboBox *>(u"cbRe"_s);
    QVERIFY(cbRe);
    QCOMPARE(cbRe->count(), 5);
    QCOMPARE(cbRe->itemText(0), u"选择强度"_s);
    QCOMPARE(cbRe->itemText(4), u"80%"_s);
    QCOMPARE(cbRe->currentText(), u"20%"_s);
    QVERIFY(panel.frm2->findChild<QCheckBox *>(u"chkReplaceSame"_s));
    QVERIFY(panel.frm2->findChild<QCheckBox *>(u"chkChangeOrder"_s));
}

void TestRewriteCommands::articleCommands_refusedInPreviewAndTextMode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("preview");
    for (const char *name : {"cmdReplaceSame", "cmdRe", "cmdOneKeyYC", "cmdSimFan", "cmdZ2Y"}) {
        QTest::addRow("%s in preview", name) << QString::fromLatin1(name) << true;
        QTest::addRow("%s in text mode", name) << QString::fromLatin1(name) << false;
    }
}

void TestRewriteCommands::articleCommands_refusedInPreviewAndTextMode()
{
    QFETCH(QString, button);
    QFETCH(bool, preview);
    Panel panel;
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    panel.host.setConverters([](const QString &) { return u"x"_s; }, [](const QString &) { return u"x"_s; });
    QVERIFY(setEditorHtml(panel.host, Article));
    if (preview)
        panel.session.togglePreview();
    else
        panel.session.toggleTextMode();
    QVERIFY(preview ? panel.session.previewOn() : panel.session.textMode());
    panel.view.ycTexts.clear();
    const QString article = panel.host.article();

    panel.frm2->findChild<QPushButton *>(button)->click();
    QCOMPARE(panel.view.messages, QStringList{preview ? u"预览状态不能执行该操作。"_s : u"文本模式不能执行该操作。"_s});
    QCOMPARE(panel.host.article(), article);
    QVERIFY(panel.view.ycTexts.isEmpty());
    QCOMPARE(panel.commands->cmdSimFan->text(), u"简->繁"_s);
    QCOMPARE(panel.commands->cmdZ2Y->text(), u"中->英"_s);
    QVERIFY(panel.view.questions.isEmpty());
}

void TestRewriteCommands::replaceSame_loadsLibraryOnFirstUseOnly_data()
{
    QTest::addColumn<QString>("settings"); // null: the shipped settings file
    QTest::addColumn<QString>("replaced");
    QTest::newRow("literal, attributes included") << u"[YC]\nWholeWords=0"_s << u"<p class=\"漂亮\">很漂亮</p>"_s;
    QTest::newRow("whole words, as shipped") << QString() << u"<p class=\"美丽\">很漂亮</p>"_s;
}

void TestRewriteCommands::replaceSame_loadsLibraryOnFirstUseOnly()
{
    QFETCH(QString, settings);
    QFETCH(QString, replaced);
    Panel panel;
    if (!settings.isNull())
        QVERIFY(panel.app.writeSettings(settings));
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    QVERIFY(setEditorHtml(panel.host, u"<p class=\"美丽\">很美丽</p>"_s));
    panel.commands->cmdReplaceSame->click();
    QCOMPARE(panel.host.article(), replaced);
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kLoadingLibraryFirstUse, RewriteText::kReplaceFinished}));
    QVERIFY(panel.frm2->isEnabled());

    panel.view.ycTexts.clear();
    panel.commands->cmdReplaceSame->click();
    QCOMPARE(panel.host.article(), u"<p class=\"美丽\">很美丽</p>"_s);
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kReplacing, RewriteText::kReplaceFinished}));
}

void TestRewriteCommands::wholeWords_withoutDictionary_saysSoAndKeepsArticle_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("synonym replacement") << u"cmdReplaceSame"_s;
    QTest::newRow("one-key pseudo-original") << u"cmdOneKeyYC"_s;
}

// Without the segmenter's dictionary no word is known to stand alone: the
// article stays as it is and the editor is told why.
void TestRewriteCommands::wholeWords_withoutDictionary_saysSoAndKeepsArticle()
{
    QFETCH(QString, button);
    Panel panel;
    panel.libraries.setSegmenterDictionary(panel.app.path(u"\\data\\no-dictionary"));
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.frm2->findChild<QPushButton *>(button)->click();
    QCOMPARE(panel.view.messages, QStringList{RewriteText::kSegmenterMissing});
    QCOMPARE(panel.host.article(), Article);
    QVERIFY(panel.frm2->isEnabled());
}

void TestRewriteCommands::shuffle_withoutStrength_showsBoxAndKeepsArticle()
{
    Panel panel;
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->cbRe->setCurrentIndex(0);
    panel.commands->cmdRe->click();
    QCOMPARE(panel.view.messages, QStringList{RewriteText::kChooseStrength});
    QCOMPARE(panel.host.article(), Article);
}

void TestRewriteCommands::shuffle_reordersAndFormats()
{
    Panel panel;
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->cbRe->setCurrentIndex(4);
    panel.commands->cmdRe->click();
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kShuffling, RewriteText::kShuffleFinished}));
    const QString out = panel.host.article();
    for (const QString &part : {u"第二段漂亮。"_s, u"第三段落。"_s, u"今天很美丽。"_s})
        QCOMPARE(out.count(part), 1);
}

void TestRewriteCommands::oneKey_withoutStrength_keepsArticle()
{
    Panel panel;
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->cbRe->setCurrentIndex(0);
    panel.commands->cmdOneKeyYC->click();
    QCOMPARE(panel.host.article(), Article);
    QVERIFY(panel.view.messages.isEmpty());
    QCOMPARE(panel.view.ycTexts.first(), RewriteText::kOneKeyRunning);
    QCOMPARE(panel.view.ycTexts.last(), RewriteText::kChooseStrength);
    QVERIFY(panel.frm2->isEnabled());
}

void TestRewriteCommands::oneKey_bothUnchecked_onlyFormats()
{
    Panel panel;
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->chkReplaceSame->setChecked(false);
    panel.commands->chkChangeOrder->setChecked(false);
    panel.commands->cmdOneKeyYC->click();
    QCOMPARE(panel.host.article(), pseudoFormatted(Article));
    QCOMPARE(panel.view.ycTexts,
             (QStringList{RewriteText::kOneKeyRunning, RewriteText::kFormatting, RewriteText::kOneKeyFinished}));
    QVERIFY(panel.frm2->isEnabled());
}

void TestRewriteCommands::oneKey_loadsSynonymLibraryOnFirstUseOnly()
{
    Panel panel;
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->chkChangeOrder->setChecked(false);
    panel.commands->cmdOneKeyYC->click();
    QCOMPARE(panel.view.ycTexts,
             (QStringList{RewriteText::kOneKeyRunning, RewriteText::kLoadingLibraryFirstUse,
                          RewriteText::kReplacingSynonyms, RewriteText::kFormatting, RewriteText::kOneKeyFinished}));
    QVERIFY(panel.host.article().contains(u"很漂亮"_s));

    panel.view.ycTexts.clear();
    panel.commands->cmdOneKeyYC->click();
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kOneKeyRunning, RewriteText::kReplacingSynonyms,
                                              RewriteText::kFormatting, RewriteText::kOneKeyFinished}));
    QVERIFY(panel.host.article().contains(u"很美丽"_s));
}

void TestRewriteCommands::oneKey_ctrlWOnlyInYcMode()
{
    Panel panel;
    QVERIFY(setEditorHtml(panel.host, Article));
    panel.commands->chkReplaceSame->setChecked(false);
    panel.commands->chkChangeOrder->setChecked(false);
    panel.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel.window));

    panel.session.setMode(ModeName::Format);
    QTest::keyClick(&panel.window, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(panel.host.article(), Article);

    panel.session.setMode(ModeName::Yc);
    QTest::keyClick(&panel.window, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(panel.host.article(), pseudoFormatted(Article));
}

void TestRewriteCommands::simFan_togglesDirectionAndCaption()
{
    Panel panel;
    panel.host.setConverters([](QString text) { return text.replace(u'漢', u'汉'); },
                             [](QString text) { return text.replace(u'汉', u'漢'); });
    QVERIFY(setEditorHtml(panel.host, u"<p>汉字</p>"_s));

    panel.commands->cmdSimFan->click();
    QCOMPARE(panel.host.article(), u"<p>漢字</p>"_s);
    QCOMPARE(panel.commands->cmdSimFan->text(), u"繁->简"_s);
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kConverting, RewriteText::kToTraditionalFinished}));

    panel.commands->cmdSimFan->click();
    QCOMPARE(panel.host.article(), u"<p>汉字</p>"_s);
    QCOMPARE(panel.commands->cmdSimFan->text(), u"简->繁"_s);
    QCOMPARE(panel.view.ycTexts.last(), RewriteText::kToSimplifiedFinished);
}

void TestRewriteCommands::simFan_pageNotAnswering_keepsCaption()
{
    Panel panel;
    panel.host.setAnswering(false);
    panel.commands->cmdSimFan->click();
    QCOMPARE(panel.commands->cmdSimFan->text(), u"简->繁"_s);
    QCOMPARE(panel.view.messages.size(), 1);
    QCOMPARE(panel.view.ycTexts, QStringList{RewriteText::kConverting});
}

void TestRewriteCommands::import_hintThenReplaceLibrary()
{
    Panel panel;
    QVERIFY(panel.app.writeFile(u"\\import.txt", toGbk(u"甲|乙\r\n\r\n丙|丁\r\n"_s)));
    panel.view.chosenPath = panel.app.path(u"\\import.txt");
    panel.view.answer = false; // Cancel: never again, but go on

    panel.commands->Label2->clicked();
    QCOMPARE(panel.view.questions, QStringList{RewriteText::kImportHintTitle + u'|' + RewriteText::kImportHintText});
    QCOMPARE(configText(Cfg::Default::ShowHelp), u"1"_s);
    QCOMPARE(panel.view.choices.first().title, RewriteText::kImportDialogTitle);
    QCOMPARE(panel.app.readFile(u"\\data\\same.dat"), toGbk(u"甲|乙\r\n丙|丁\r\n"_s));
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kImporting, RewriteText::kImported}));
    QVERIFY(!configText(Cfg::vision::SameWord).isEmpty());

    panel.view.chosenPath.clear();
    panel.commands->Label2->clicked();
    QCOMPARE(panel.view.questions.size(), 1);
}

void TestRewriteCommands::import_formatError_showsBox()
{
    Panel panel;
    const QByteArray before = panel.app.readFile(u"\\data\\same.dat");
    QVERIFY(panel.app.writeFile(u"\\import.txt", toGbk(u"甲乙"_s)));
    panel.view.chosenPath = panel.app.path(u"\\import.txt");
    panel.commands->Label2->clicked();
    QCOMPARE(panel.view.messages, QStringList{RewriteText::kImportSingleLineFormatError});
    QCOMPARE(panel.app.readFile(u"\\data\\same.dat"), before);
}

void TestRewriteCommands::export_writesChosenFileOrSaysWhy()
{
    Panel panel;
    QVERIFY(panel.app.writeFile(u"\\data\\same.dat", toGbk(u"美丽|漂亮"_s)));
    panel.view.chosenPath = panel.app.path(u"\\out.txt");
    panel.commands->Label4->clicked();
    QCOMPARE(panel.view.choices.last().title, RewriteText::kExportDialogTitle);
    QCOMPARE(panel.app.readFile(u"\\out.txt"), toGbk(u"美丽|漂亮\r\n"_s));
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kExportLoading, RewriteText::kExported}));

    // The dialog starts from the last chosen name; a read-only target fails.
    QVERIFY(QFile::setPermissions(panel.view.chosenPath, QFile::ReadOwner));
    panel.commands->Label4->clicked();
    QCOMPARE(panel.view.choices.last().fileName, panel.view.chosenPath);
    QCOMPARE(panel.view.ycTexts.last(), RewriteText::kExportFailed);
    QVERIFY(panel.frm2->isEnabled());

    QVERIFY(QFile::remove(panel.app.path(u"\\data\\same.dat")));
    panel.commands->Label4->clicked();
    QCOMPARE(panel.view.messages, QStringList{RewriteText::kLibraryMissing});
}

void TestRewriteCommands::z2y_twoClicksTranslateThereAndBack()
{
    TranslatePanel panel;
    QVERIFY(panel.ready);
    panel.server.on(u"/"_s).reply(answerPage(u"&lt;p&gt;Good weather&lt;/p&gt;"_s));
    QVERIFY(setEditorHtml(panel.host, u"<p>天气好</p>"_s));
    panel.view.answer = false; // Cancel on the warning: it goes on, and never asks again

    panel.commands->cmdZ2Y->click();
    QCOMPARE(panel.view.questions,
             QStringList{QCoreApplication::applicationName() + u'|' + RewriteText::kTranslationWarning});
    QCOMPARE(configText(Cfg::YC::ShowHelp), u"1"_s);
    QVERIFY(!panel.frm2->isEnabled());
    QCOMPARE(panel.view.ycTexts, QStringList{RewriteText::kTranslating});
    // A second start while the first waits (the shortcut path: the disabled
    // button itself takes no click).
    panel.commands->cmdZ2Y_clicked();
    QCOMPARE(panel.view.messages, QStringList{RewriteText::kTranslating});

    QVERIFY(panel.waitUntilIdle());
    QCOMPARE(panel.host.article(), u"<p>Good weather</p>"_s);
    QCOMPARE(panel.commands->cmdZ2Y->text(), u"英->中"_s);
    QCOMPARE(panel.view.ycTexts, (QStringList{RewriteText::kTranslating, RewriteText::kTranslationFinished}));

    panel.commands->cmdZ2Y->click();
    QVERIFY(panel.waitUntilIdle());
    QCOMPARE(panel.commands->cmdZ2Y->text(), u"中->英"_s);
    QCOMPARE(panel.view.questions.size(), 1);
    QCOMPARE(panel.view.messages.size(), 1);
    QCOMPARE(panel.server.connectionCount(), 2);
    QVERIFY(panel.server.requests().at(0).body.contains("&sl=zh-CN&tl=en&"));
    QVERIFY(panel.server.requests().at(1).body.contains("&sl=en&tl=zh-CN&ie=UTF-8&text=%3Cp%3EGood+weather%3C%2Fp%3E"));
}

void TestRewriteCommands::z2y_captionTurnsOnlyWithArticle_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("turns");

    QTest::newRow("empty article: nothing sent") << u"empty"_s << QString() << true;
    const QString network = u"网络故障，暂时无法使用翻译功能。"_s;
    QTest::newRow("connection refused") << u"refused"_s << network << false;
    QTest::newRow("page stalls before its end") << u"stall"_s << network << false;
    QTest::newRow("peer hangs up before the end tag") << u"close"_s << network << false;
    QTest::newRow("page without the result markers") << u"nomarkers"_s << RewriteText::kTranslationNoResult << false;
    QTest::newRow("article replaced while waiting") << u"edited"_s << RewriteText::kTranslationArticleChanged << false;
    QTest::newRow("text mode entered while waiting")
        << u"textmode"_s << RewriteText::kTranslationArticleChanged << false;
    QTest::newRow("page stops answering while waiting") << u"deaf"_s << EditorText::PageNotAnswering << false;
}

void TestRewriteCommands::z2y_captionTurnsOnlyWithArticle()
{
    QFETCH(QString, scenario);
    QFETCH(QString, message);
    QFETCH(bool, turns);
    TranslatePanel panel;
    QVERIFY(panel.ready);
    QVERIFY(setConfigInt(Cfg::YC::ShowHelp, 1));
    const QByteArray page = answerPage(u"Hello"_s);
    if (scenario == u"refused")
        QVERIFY(setConfigText(Cfg::Servers::TranslateAddress,
                              u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    else if (scenario == u"stall")
        panel.server.on(u"/"_s).reply(page.chopped(7));
    else if (scenario == u"close")
        panel.server.on(u"/"_s).reply(page.chopped(7)).closeEarly();
    else if (scenario == u"nomarkers")
        panel.server.on(u"/"_s).respond(200, "<html><body><div>Hello</div></body></html>");
    else
        panel.server.on(u"/"_s).reply(page);
    QVERIFY(setEditorHtml(panel.host, scenario == u"empty" ? QString() : Article));

    panel.commands->cmdZ2Y->click();
    QVERIFY(!panel.frm2->isEnabled());
    if (scenario == u"edited")
        panel.host.setArticle(u"<p>新的文章</p>"_s);
    else if (scenario == u"textmode")
        panel.session.toggleTextMode();
    else if (scenario == u"deaf")
        panel.host.setAnswering(false);
    const QString article = panel.host.article();

    QVERIFY(panel.waitUntilIdle());
    QCOMPARE(panel.host.article(), article);
    QCOMPARE(panel.commands->cmdZ2Y->text(), turns ? u"英->中"_s : u"中->英"_s);
    QCOMPARE(panel.view.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(panel.view.ycAction(), RewriteText::kTranslationFinished);
    if (scenario == u"empty")
        QCOMPARE(panel.server.connectionCount(), 0);
}

QTEST_MAIN(TestRewriteCommands)
#include "tst_rewrite_commands.moc"
