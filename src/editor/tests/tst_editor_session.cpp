#include "editor/default_texts.h"
#include "editor/editor_session.h"
#include "editor/editor_view.h"
#include "settings/config_keys.h"
#include "testsupport/in_memory_editor_host.h"
#include "testsupport/recording_view.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestEditorSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void getEditorHtml_emptiesQuestionMarkParagraphs();
    void guards_data();
    void guards();
    void ShowMsg_goesToTheModesLabel();

    void pageNotAnswering_commandStopsAndChangesNothing_data();
    void pageNotAnswering_commandStopsAndChangesNothing();
    void keepArticleOnly_extractionNotAnswered_changesNothing();

    void textMode_roundTripEscapesOnce();
    void textMode_leavingKeepsTextWhenPageFails();
    void textMode_enteringWhilePreviewing_endsPreview();
    void preview_togglesAndShowsArticleUnchanged();
    void preview_emptyArticle_doesNothing();

    void load_putsFileTextIntoEditor();
    void load_cancelled_changesNothing();
    void save_writesGbkLineWithProposedName();
    void save_emptyEditor_opensNoDialog();
    void save_readOnlyTarget_reportsFailure();

    void copy_putsHtmlAndText();
    void paste_data();
    void paste();
    void copyPaste_inTextMode_useTheTextBox();
    void clipboardHtml_agreesWithItsPatterns();
    void clipboardHtml_wholePages_data();
    void clipboardHtml_wholePages();

    void proposedSaveName_data();
    void proposedSaveName();

    void defaultTextDue_data();
    void defaultTextDue();
    void modeSwitch_data();
    void modeSwitch();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<InMemoryEditorHost> m_host;
    std::unique_ptr<RecordingView> m_view;
    std::unique_ptr<EditorSession> m_session;
};

void TestEditorSession::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_host = std::make_unique<InMemoryEditorHost>();
    m_view = std::make_unique<RecordingView>();
    m_session = std::make_unique<EditorSession>(*m_host, *m_view);
    m_session->setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(17, 3, 5)); });
}

void TestEditorSession::cleanup()
{
    m_session.reset();
    m_view.reset();
    m_host.reset();
    m_folder.reset();
}

void TestEditorSession::getEditorHtml_emptiesQuestionMarkParagraphs()
{
    m_host->setArticle(u"<p>?</p><p>真的?</p><p>?.?</p><p>?</p>"_s);
    QCOMPARE(m_session->getEditorHtml(), u"<p>&nbsp;</p><p>真的?</p><p>?.?</p><p>&nbsp;</p>"_s);
    QVERIFY(m_view->messages.isEmpty());
}

void TestEditorSession::guards_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("refusal"); // "" when the command may run

    const QString seo = EditorText::NotInSeoMode;
    const QString preview = EditorText::NotInPreview;
    const QString textMode = EditorText::NotInTextMode;
    struct Row
    {
        const char *name;
        CommandKind kind;
        QString seo, preview, text;
    };
    const Row rows[] = {
        {"load", CommandKind::Load, seo, preview, textMode},
        {"save", CommandKind::Save, seo, preview, textMode},
        {"text toggle", CommandKind::TextModeToggle, seo, {}, {}},
        {"preview toggle", CommandKind::PreviewToggle, seo, {}, textMode},
        {"copy/paste", CommandKind::CopyPaste, {}, preview, {}},
        {"clear", CommandKind::Clear, {}, {}, {}},
        {"article command", CommandKind::ArticleCommand, {}, preview, textMode},
        {"word count", CommandKind::WordCount, seo, {}, {}},
    };
    for (const Row &row : rows) {
        QTest::addRow("%s, editing", row.name) << int(row.kind) << u"editing"_s << QString();
        QTest::addRow("%s, seo mode", row.name) << int(row.kind) << ModeName::Seo << row.seo;
        QTest::addRow("%s, previewing", row.name) << int(row.kind) << u"preview"_s << row.preview;
        QTest::addRow("%s, text mode", row.name) << int(row.kind) << u"text"_s << row.text;
    }
    // The order is fixed: seo first, then preview, then text mode.
    QTest::addRow("load, previewing in seo mode") << int(CommandKind::Load) << u"preview+seo"_s << seo;
    QTest::addRow("article command, text mode in seo mode")
        << int(CommandKind::ArticleCommand) << u"text+seo"_s << textMode;
}

void TestEditorSession::guards()
{
    QFETCH(int, kind);
    QFETCH(QString, state);
    QFETCH(QString, refusal);

    m_host->setArticle(u"<p>文章</p>"_s);
    if (state.startsWith(u"preview"))
        m_session->togglePreview();
    if (state.startsWith(u"text"))
        m_session->toggleTextMode();
    if (state.endsWith(u"seo"))
        m_session->setMode(ModeName::Seo);
    QVERIFY(m_view->messages.isEmpty());

    const bool allowed = m_session->passes(CommandKind(kind));
    QCOMPARE(allowed, refusal.isEmpty());
    QCOMPARE(m_view->messages, refusal.isEmpty() ? QStringList() : QStringList{refusal});
}

void TestEditorSession::ShowMsg_goesToTheModesLabel()
{
    m_session->ShowMsg(u"一"_s, ModeName::Format);
    m_session->ShowMsg(u"二"_s, ModeName::Yc);
    m_session->ShowMsg(u"三"_s, ModeName::Seo);
    QCOMPARE(m_view->formatAction(), u"一"_s);
    QCOMPARE(m_view->ycAction(), u"二"_s);
    m_session->setMode(ModeName::Yc);
    m_session->ShowMsg(u"四"_s);
    QCOMPARE(m_view->ycAction(), u"四"_s);
    QCOMPARE(m_view->formatAction(), u"一"_s);
}

void TestEditorSession::pageNotAnswering_commandStopsAndChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("save") << u"save"_s;
    QTest::newRow("preview") << u"preview"_s;
    QTest::newRow("text mode") << u"text"_s;
    QTest::newRow("copy") << u"copy"_s;
    QTest::newRow("keep the article only") << u"article"_s;
}

void TestEditorSession::pageNotAnswering_commandStopsAndChangesNothing()
{
    QFETCH(QString, command);
    m_host->setArticle(u"<p>文章</p>"_s);
    m_host->setAnswering(false);
    m_view->chosenPath = m_folder->path(u"\\data\\out.txt");
    QGuiApplication::clipboard()->setText(u"before"_s);

    if (command == u"save")
        m_session->save();
    else if (command == u"preview")
        m_session->togglePreview();
    else if (command == u"text")
        m_session->toggleTextMode();
    else if (command == u"article")
        QVERIFY(!m_session->keepArticleOnly());
    else
        m_session->copyFromEditor();

    QCOMPARE(m_view->messages, QStringList{EditorText::PageNotAnswering});
    QVERIFY(m_view->choices.isEmpty());
    QVERIFY(!QFile::exists(m_view->chosenPath));
    QVERIFY(!m_session->previewOn());
    QVERIFY(!m_session->textMode());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
    QCOMPARE(m_host->article(), u"<p>文章</p>"_s);
    QVERIFY(m_view->formatAction().isEmpty());
}

// The article was read, but the page never answered the extraction (this
// page has no "article" element): the command stops, the editor keeps its
// article, and the user is told once.
void TestEditorSession::keepArticleOnly_extractionNotAnswered_changesNothing()
{
    m_host->setArticle(u"<ul><li>首页</li></ul><p>文章</p>"_s);
    QVERIFY(!m_session->keepArticleOnly());
    QCOMPARE(m_host->article(), u"<ul><li>首页</li></ul><p>文章</p>"_s);
    QCOMPARE(m_view->messages, QStringList{EditorText::PageNotAnswering});

    m_host->setArticle(QString());
    QVERIFY(m_session->keepArticleOnly());
    QCOMPARE(m_view->messages.size(), 1);
}

void TestEditorSession::textMode_roundTripEscapesOnce()
{
    m_host->setArticle(u"<p>第一段</p><p>第二段</p>"_s);
    m_session->toggleTextMode();
    QVERIFY(m_session->textMode());
    QVERIFY(m_view->textBoxShown);
    QCOMPARE(m_view->textBox, u"第一段\r\n第二段"_s);
    QCOMPARE(m_view->textCaption, EditorText::TextModeOn);
    QCOMPARE(m_view->textColour, ActiveButtonColour);

    m_view->textBox = u"a<b>&c \"引号\"\r\n&amp; 下一行"_s;
    m_session->toggleTextMode();
    QVERIFY(!m_session->textMode());
    QVERIFY(!m_view->textBoxShown);
    QCOMPARE(m_host->article(), u"a&lt;b&gt;&amp;c &quot;引号&quot;<br>&amp;amp; 下一行"_s);
    QCOMPARE(m_view->textCaption, EditorText::TextModeOff);
    QCOMPARE(m_view->textColour, IdleButtonColour);
}

void TestEditorSession::textMode_leavingKeepsTextWhenPageFails()
{
    m_host->setArticle(u"<p>文章</p>"_s);
    m_session->toggleTextMode();
    m_view->textBox = u"改过的文字"_s;
    m_host->setAnswering(false);
    m_session->toggleTextMode();
    QVERIFY(m_session->textMode());
    QVERIFY(m_view->textBoxShown);
    QCOMPARE(m_view->textBox, u"改过的文字"_s);
    QCOMPARE(m_view->messages, QStringList{EditorText::PageNotAnswering});
}

void TestEditorSession::textMode_enteringWhilePreviewing_endsPreview()
{
    m_host->setArticle(u"<p>文章</p>"_s);
    m_session->togglePreview();
    QVERIFY(m_session->previewOn());
    m_session->toggleTextMode();
    QVERIFY(m_session->textMode());
    QVERIFY(!m_session->previewOn());
    QVERIFY(!m_view->previewShown);
    QCOMPARE(m_view->previewCaption, EditorText::PreviewOff);
    m_session->toggleTextMode();
    QVERIFY(!m_session->textMode());
    QVERIFY(!m_view->previewShown);
}

void TestEditorSession::preview_togglesAndShowsArticleUnchanged()
{
    const QString article = u"<p>?</p><p><img src=\"a.jpg\"> 图</p>"_s;
    m_host->setArticle(article);
    m_session->togglePreview();
    QVERIFY(m_session->previewOn());
    QVERIFY(m_view->previewShown);
    QCOMPARE(m_view->previewHtml, u"<p>&nbsp;</p><p><img src=\"a.jpg\"> 图</p>"_s);
    QCOMPARE(m_view->previewCaption, EditorText::PreviewOn);
    QCOMPARE(m_view->previewColour, ActiveButtonColour);

    m_session->togglePreview();
    QVERIFY(!m_session->previewOn());
    QVERIFY(!m_view->previewShown);
    QCOMPARE(m_view->previewCaption, EditorText::PreviewOff);
    QCOMPARE(m_view->previewColour, IdleButtonColour);
    QCOMPARE(m_host->article(), article);
}

void TestEditorSession::preview_emptyArticle_doesNothing()
{
    m_session->togglePreview();
    QVERIFY(!m_session->previewOn());
    QVERIFY(!m_view->previewShown);
    QVERIFY(m_view->previewCaption.isEmpty());
    QVERIFY(m_view->messages.isEmpty());
}

void TestEditorSession::load_putsFileTextIntoEditor()
{
    QVERIFY(m_folder->writeFile(u"\\data\\文章.txt", toGbk(u"<p>读入的文章</p>\r\n<b>x</b>"_s)));
    m_view->chosenPath = m_folder->path(u"\\data\\文章.txt");
    m_session->setMode(ModeName::Yc);
    m_session->load();
    QCOMPARE(m_host->article(), u"<p>读入的文章</p>\r\n<b>x</b>"_s);
    QCOMPARE(m_view->ycAction(), EditorText::LoadDone);
    QCOMPARE(m_view->choices.size(), 1);
    QCOMPARE(m_view->choices[0].title, EditorText::LoadTitle);
    QCOMPARE(m_view->choices[0].folder, m_folder->path(u"\\data"));
    QCOMPARE(m_view->choices[0].filter, EditorText::TextFileFilter);
}

void TestEditorSession::load_cancelled_changesNothing()
{
    m_host->setArticle(u"<p>原文</p>"_s);
    m_session->load();
    QCOMPARE(m_host->article(), u"<p>原文</p>"_s);
    QVERIFY(m_view->formatAction().isEmpty());
    QVERIFY(m_view->messages.isEmpty());
}

void TestEditorSession::save_writesGbkLineWithProposedName()
{
    m_host->setArticle(u"<p>?</p><p>保存的文章</p>"_s);
    m_view->chosenPath = m_folder->path(u"\\data\\saved.txt");
    m_session->save();
    QCOMPARE(m_view->choices.size(), 1);
    QCOMPARE(m_view->choices[0].title, EditorText::SaveTitle);
    QCOMPARE(m_view->choices[0].fileName, u"20261261735"_s);
    QCOMPARE(m_view->choices[0].folder, m_folder->path(u"\\data"));
    QCOMPARE(m_folder->readFile(u"\\data\\saved.txt"), toGbk(u"<p>&nbsp;</p><p>保存的文章</p>\r\n"_s));
    QCOMPARE(m_view->formatAction(), EditorText::SaveDone);
}

void TestEditorSession::save_emptyEditor_opensNoDialog()
{
    m_view->chosenPath = m_folder->path(u"\\data\\saved.txt");
    m_session->save();
    QVERIFY(m_view->choices.isEmpty());
    QCOMPARE(m_view->formatAction(), EditorText::EditorEmpty);
    QVERIFY(!QFile::exists(m_view->chosenPath));
}

void TestEditorSession::save_readOnlyTarget_reportsFailure()
{
    QVERIFY(m_folder->writeFile(u"\\data\\locked.txt", "old"));
    const QString path = m_folder->path(u"\\data\\locked.txt");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
    m_host->setArticle(u"<p>新文章</p>"_s);
    m_view->chosenPath = path;
    m_session->save();
    QCOMPARE(m_view->formatAction(), EditorText::SaveFailed);
    QCOMPARE(m_folder->readFile(u"\\data\\locked.txt"), QByteArray("old"));

    m_view->chosenPath = m_folder->path(u"\\no such folder\\a.txt");
    m_session->save();
    QCOMPARE(m_view->formatAction(), EditorText::SaveFailed);
}

void TestEditorSession::copy_putsHtmlAndText()
{
    m_host->setArticle(u"<p>第一段</p><p>第二段 <b>粗</b></p>"_s);
    m_session->copyFromEditor();
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QCOMPARE(mime->html(), u"<p>第一段</p><p>第二段 <b>粗</b></p>"_s);
    QCOMPARE(mime->text(), u"第一段\n第二段 粗"_s);
    QCOMPARE(m_view->formatAction(), EditorText::Copied);
}

void TestEditorSession::paste_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("article");

    QTest::newRow("browser fragment")
        << u"<meta charset='utf-8'><html><body><!--StartFragment--><p>片段</p><!--EndFragment--></body></html>"_s
        << u"片段"_s << u"<p>片段</p>"_s;
    QTest::newRow("whole document")
        << u"<html><head><title>t</title></head><body class=\"x\"><p>正文</p></body></html>"_s << u"正文"_s
        << u"<p>正文</p>"_s;
    QTest::newRow("bare html") << u"<meta charset=\"utf-8\"><b>粗</b>体"_s << QString() << u"<b>粗</b>体"_s;
    QTest::newRow("plain text is escaped, line breaks kept")
        << QString() << u"a<b>&c\n第二行\r\n第三行"_s << u"a&lt;b&gt;&amp;c<br>第二行<br>第三行"_s;
    QTest::newRow("empty clipboard") << QString() << QString() << QString();
}

void TestEditorSession::paste()
{
    QFETCH(QString, html);
    QFETCH(QString, plain);
    QFETCH(QString, article);
    auto *mime = new QMimeData;
    if (!html.isEmpty())
        mime->setHtml(html);
    if (!plain.isEmpty())
        mime->setText(plain);
    QGuiApplication::clipboard()->setMimeData(mime);
    m_host->setArticle(u"<p>原文</p>"_s);
    m_session->setMode(ModeName::Yc);
    m_session->pasteIntoEditor();
    QCOMPARE(m_host->article(), article);
    QCOMPARE(m_view->ycAction(), EditorText::Pasted);
}

void TestEditorSession::copyPaste_inTextMode_useTheTextBox()
{
    m_host->setArticle(u"<p>文章</p>"_s);
    m_session->toggleTextMode();
    m_view->textBox = u"框里\r\n的字"_s;
    m_session->copyFromEditor();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"框里\n的字"_s);

    QGuiApplication::clipboard()->setText(u"粘贴的<字>"_s);
    m_session->pasteIntoEditor();
    QCOMPARE(m_view->textBox, u"粘贴的<字>"_s);
    QCOMPARE(m_host->article(), u"<p>文章</p>"_s);
}

void TestEditorSession::proposedSaveName_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("name");
    QTest::newRow("no leading zeros") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)) << u"202612345"_s;
    QTest::newRow("two-digit fields") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)) << u"20261231235958"_s;
    QTest::newRow("midnight") << QDateTime(QDate(2027, 10, 10), QTime(0, 0, 0)) << u"20271010000"_s;
}

void TestEditorSession::proposedSaveName()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, name);
    QCOMPARE(::proposedSaveName(when), name);
}

void TestEditorSession::defaultTextDue_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("due");
    QTest::newRow("never shown") << QString() << true;
    QTest::newRow("shown today") << u"2026-12-07"_s << false;
    QTest::newRow("shown today, short form") << u"2026/12/7"_s << false;
    QTest::newRow("shown yesterday") << u"2026-12-06"_s << true;
    QTest::newRow("shown in the future") << u"2026-12-08"_s << true;
    QTest::newRow("not a date") << u"昨天"_s << true;
}

void TestEditorSession::defaultTextDue()
{
    QFETCH(QString, stored);
    QFETCH(bool, due);
    QCOMPARE(::defaultTextDue(stored, QDate(2026, 12, 7)), due);
}

void TestEditorSession::modeSwitch_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("storedKey"); // "" when nothing is stored

    const QString format = u"<p>格式化默认</p>"_s;
    const QString yc = u"<p>伪原创默认</p>"_s;
    QTest::newRow("format default → yc") << format << ModeName::Yc << yc << Cfg::Form::ShowDefaultYC.keyName();
    QTest::newRow("yc default → format") << yc << ModeName::Format << format << Cfg::Form::ShowDefault.keyName();
    QTest::newRow("edited article stays")
        << u"<p>格式化默认 </p>"_s << ModeName::Yc << u"<p>格式化默认 </p>"_s << QString();
    QTest::newRow("own default stays") << yc << ModeName::Yc << yc << QString();
    QTest::newRow("seo leaves the editor alone") << format << ModeName::Seo << format << QString();
}

void TestEditorSession::modeSwitch()
{
    QFETCH(QString, editor);
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    QFETCH(QString, storedKey);
    const DefaultTexts texts{u"<p>格式化默认</p>"_s, u"<p>伪原创默认</p>"_s};
    m_host->setArticle(editor);
    m_session->setMode(mode);
    applyModeDefaultText(*m_session, mode, texts, QDate(2026, 12, 7));
    QCOMPARE(m_host->article(), expected);
    for (const ConfigKey &key : {Cfg::Form::ShowDefault, Cfg::Form::ShowDefaultYC})
        QCOMPARE(configText(key), key.keyName() == storedKey ? u"2026-12-07"_s : QString());

    // A default text that was not fetched replaces nothing.
    m_host->setArticle(texts.format);
    applyModeDefaultText(*m_session, ModeName::Yc, DefaultTexts{texts.format, QString()}, QDate(2026, 12, 7));
    QCOMPARE(m_host->article(), texts.format);
}

namespace {

// The clipboard's HTML as it was first read, pattern by pattern: the oracle.
QString literalHtmlFromClipboard(const QString &clipboardHtml)
{
    static const QRegularExpression fragment(u"<!--\\s*StartFragment\\s*-->(.*)<!--\\s*EndFragment\\s*-->"_s,
                                             QRegularExpression::DotMatchesEverythingOption
                                                 | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression body(u"<body[^>]*>(.*?)(?:</body>|$)"_s,
                                         QRegularExpression::DotMatchesEverythingOption
                                             | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression meta(u"^\\s*<meta[^>]*>"_s, QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = fragment.match(clipboardHtml); m.hasMatch())
        return m.captured(1);
    if (const QRegularExpressionMatch m = body.match(clipboardHtml); m.hasMatch())
        return m.captured(1);
    QString html = clipboardHtml;
    return html.remove(meta);
}

// Plain text made HTML one replacement after the other, as it was first
// written.
QString literalPlainTextToHtml(const QString &plain)
{
    QString html = plain;
    html.replace(u'&', u"&amp;"_s);
    html.replace(u'"', u"&quot;"_s);
    html.replace(u'<', u"&lt;"_s);
    html.replace(u'>', u"&gt;"_s);
    html.replace(u"\r\n"_s, u"\n"_s);
    html.replace(u'\n', u"<br>"_s);
    return html;
}

} // namespace

void TestEditorSession::clipboardHtml_agreesWithItsPatterns()
{
    const QStringList pieces = {u"<!--"_s,
                                u"-->"_s,
                                u"StartFragment"_s,
                                u"\u017FTARTFRAGMENT"_s,
                                u"EndFragment"_s,
                                u"endfragment"_s,
                                u" "_s,
                                u"\r\n"_s,
                                u"<body"_s,
                                u"<BODY x=1"_s,
                                u">"_s,
                                u"</body>"_s,
                                u"</Body>"_s,
                                u"<meta"_s,
                                u"\t"_s,
                                u"\n"_s,
                                u"x"_s,
                                u"<"_s,
                                u"&"_s,
                                u"\""_s,
                                u"\r"_s,
                                u"&amp;"_s};
    QRandomGenerator random(77);
    for (int round = 0; round < 30000; ++round) {
        QString text;
        for (int i = random.bounded(1, 16); i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        if (htmlFromClipboard(text) != literalHtmlFromClipboard(text))
            QFAIL(qPrintable(
                u"«%1»: «%2» against «%3»"_s.arg(text, htmlFromClipboard(text), literalHtmlFromClipboard(text))));
        if (plainTextToHtml(text) != literalPlainTextToHtml(text))
            QFAIL(qPrintable(
                u"«%1»: «%2» against «%3»"_s.arg(text, plainTextToHtml(text), literalPlainTextToHtml(text))));
    }
}

void TestEditorSession::clipboardHtml_wholePages_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<qsizetype>("expectedSize");
    // A browser puts the whole page up when a page is selected; these took
    // time in the square of their length.
    QTest::newRow("start marks without an end")
        << QString(u"<!--StartFragment-->x"_s).repeated(50000) << qsizetype(50000 * 21);
    QTest::newRow("body tags that never open") << QString(u"<body"_s).repeated(200000) << qsizetype(200000 * 5);
    QTest::newRow("plain text of ampersands") << u"plain"_s + QString(300000, u'&') << qsizetype(300000 * 5);
    QTest::newRow("a fragment of half a million characters")
        << u"<html><body><!--StartFragment-->"_s + QString(500000, u'x') + u"<!--EndFragment--></body></html>"_s
        << qsizetype(500000);
}

void TestEditorSession::clipboardHtml_wholePages()
{
    QFETCH(QString, clipboard);
    QFETCH(qsizetype, expectedSize);
    if (clipboard.startsWith(u"plain"))
        QCOMPARE(plainTextToHtml(clipboard.mid(5)).size(), expectedSize);
    else
        QCOMPARE(htmlFromClipboard(clipboard).size(), expectedSize);
}

QTEST_MAIN(TestEditorSession)
#include "tst_editor_session.moc"
