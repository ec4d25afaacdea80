// One-key format on the main window, over the real editor page.
#include "editor/editor_host.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "format/format_html.h"
#include "format/inner_text.h"
#include "main_window_fixture.h"
#include "settings/config_keys.h"
#include "shell/clickable_label.h"
#include "shell/editor_commands.h"
#include "shell/frm_format.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"
#include "testsupport/sample_pages.h"
#include "testsupport/temp_app_folder.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestFormatCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cmdOneKey_formatsTheArticle();
    void ctrlG_formatsInFormatMode();
    void emptyEditor_reportsAndChangesNothing();
    void preview_refusesWithMessage();
    void checkBoxes_showAndStoreTheirSettings();
    void settingChange_appliesToNextRun();
    void chkArticle_ctrlG_keepsOnlyTheArticleOfAPastedPage_data();
    void chkArticle_ctrlG_keepsOnlyTheArticleOfAPastedPage();
    void chkArticleUnticked_formatsTheWholePasteAsBefore();

private:
    frmFormat *openWindow();
    QString article();

    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<frmFormat> m_window;
    QStringList m_messages;
};

void TestFormatCommands::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(installBuiltEditorPage(*m_folder));
    QVERIFY(m_folder->writeSettings(u"[Format]\nHeadSpace=1\nSpaceNum=2\nSpaceStr=1\nRemoveLink=0"_s));
    m_messages.clear();
}

void TestFormatCommands::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

frmFormat *TestFormatCommands::openWindow()
{
    m_window = openLoadedWindow(frmFormat::Options{}, &m_messages);
    return m_window.get();
}

QString TestFormatCommands::article()
{
    return getEditorHtml(m_window->editorHost()).value_or(u"<no answer>"_s);
}

void TestFormatCommands::cmdOneKey_formatsTheArticle()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    auto *button = w->findChild<QPushButton *>(u"cmdOneKey"_s);
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QVERIFY(setEditorHtml(w->editorHost(), u"<div>一段<br>两段 <a href='http://x'>链接</a></div>"_s));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(article(), u"<p>\u3000\u3000一段</p><p>\u3000\u3000两段 链接</p>"_s);
    QCOMPARE(w->lblFormatAction->text(), u"一键格式化完毕..."_s);
}

void TestFormatCommands::ctrlG_formatsInFormatMode()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(setEditorHtml(w->editorHost(), u"<div>文章</div>"_s));
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(article(), u"<p>\u3000\u3000文章</p>"_s);
}

void TestFormatCommands::emptyEditor_reportsAndChangesNothing()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    QVERIFY(setEditorHtml(w->editorHost(), QString()));
    QTest::mouseClick(w->findChild<QPushButton *>(u"cmdOneKey"_s), Qt::LeftButton);
    QCOMPARE(article(), QString());
    QCOMPARE(w->lblFormatAction->text(), u"编辑器内无内容..."_s);
}

void TestFormatCommands::preview_refusesWithMessage()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    QVERIFY(setEditorHtml(w->editorHost(), u"<div>文章</div>"_s));
    QTest::mouseClick(w->editorCommands().lblPreView, Qt::LeftButton);
    QVERIFY(w->editor().previewOn());
    QTest::mouseClick(w->findChild<QPushButton *>(u"cmdOneKey"_s), Qt::LeftButton);
    QCOMPARE(m_messages, QStringList{u"预览状态不能执行该操作。"_s});
    QTest::mouseClick(w->editorCommands().lblPreView, Qt::LeftButton);
    QCOMPARE(article(), u"<div>文章</div>"_s);
}

void TestFormatCommands::checkBoxes_showAndStoreTheirSettings()
{
    frmFormat *w = openWindow();
    QVERIFY(w);
    auto *headSpace = w->findChild<QCheckBox *>(u"chkHeadSpace"_s);
    auto *href = w->findChild<QCheckBox *>(u"chkHref"_s);
    auto *articleOnly = w->findChild<QCheckBox *>(u"chkArticle"_s);
    QVERIFY(headSpace && href && articleOnly);
    QCOMPARE(articleOnly->text(), u"只保留正文"_s);
    QVERIFY(headSpace->isChecked());
    QVERIFY(!href->isChecked());
    QVERIFY(!articleOnly->isChecked());
    headSpace->click();
    href->click();
    articleOnly->click();
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"0"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), u"1"_s);
    QCOMPARE(configText(Cfg::Format::ArticleOnly), u"1"_s);
}

namespace {

QString sample(const QString &name, const QString &file)
{
    QFile in(sampleArticlesFolder() + u'/' + name + u'/' + file);
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}

// Text without any white space, to compare paragraphs across re-layout.
QString squeezed(const QString &html)
{
    QString text = htmlToInnerText(html);
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

// Pastes html as a browser's copy puts it on the clipboard.
void pasteIntoEditor(frmFormat *w, const QString &html)
{
    auto *mime = new QMimeData;
    mime->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(mime);
    QTest::mouseClick(w->findChild<QPushButton *>(u"cmdPaste1"_s), Qt::LeftButton);
}

} // namespace

void TestFormatCommands::chkArticle_ctrlG_keepsOnlyTheArticleOfAPastedPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("navigation");
    QTest::newRow("光明网") << u"gmw"_s << QStringList{u"光明报系"_s, u"关于光明网"_s, u"法律声明"_s};
    QTest::newRow("腾讯网") << u"qq"_s << QStringList{u"全部频道"_s, u"企鹅智酷"_s, u"无障碍说明"_s};
}

void TestFormatCommands::chkArticle_ctrlG_keepsOnlyTheArticleOfAPastedPage()
{
    QFETCH(QString, name);
    QFETCH(QStringList, navigation);
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    frmFormat *w = openWindow();
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->findChild<QCheckBox *>(u"chkArticle"_s)->click();

    pasteIntoEditor(w, sample(name, u"source.html"_s));
    for (const QString &link : navigation)
        QVERIFY2(squeezed(article()).contains(link), qPrintable(link));
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);

    const QString result = article();
    QCOMPARE(w->lblFormatAction->text(), u"一键格式化完毕..."_s);
    QVERIFY2(result.startsWith(u"<p>\u3000\u3000"_s), qPrintable(result.left(100)));
    const QString text = squeezed(result);
    for (const QString &link : navigation)
        QVERIFY2(!text.contains(link), qPrintable(link));
    const QStringList paragraphs = htmlToInnerText(sample(name, u"expected.html"_s)).split(u"\r\n"_s);
    for (QString paragraph : paragraphs) {
        paragraph.removeIf([](QChar c) { return c.isSpace(); });
        QVERIFY2(text.contains(paragraph), qPrintable(paragraph));
    }
}

void TestFormatCommands::chkArticleUnticked_formatsTheWholePasteAsBefore()
{
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    frmFormat *w = openWindow();
    QVERIFY(w);
    pasteIntoEditor(w, sample(u"gmw"_s, u"source.html"_s));
    const QString pasted = article();
    QTest::mouseClick(w->findChild<QPushButton *>(u"cmdOneKey"_s), Qt::LeftButton);
    const QString formatted = article();

    const SettingsSnapshot settings = readSettingsSnapshot();
    WordLibraries libraries;
    QVERIFY(
        setEditorHtml(w->editorHost(), FormatHtml(pasted, FormatMode::OneKeyFormat, settings.format, settings.checks,
                                                  libraries.typosFor(FormatMode::OneKeyFormat, settings.format))));
    QCOMPARE(formatted, article());
    QVERIFY(formatted.contains(u"光明报系"_s));
}

// Each run reads the settings at its start: a change made between two runs
// (the settings dialog, the check boxes, another program) shows in the second.
void TestFormatCommands::settingChange_appliesToNextRun()
{
    QVERIFY(m_folder->writeSettings(u"[Format]\nHeadSpace=0"_s));
    frmFormat *w = openWindow();
    QVERIFY(w);
    auto *button = w->findChild<QPushButton *>(u"cmdOneKey"_s);
    QVERIFY(setEditorHtml(w->editorHost(), u"a"_s));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(article(), u"<p>a</p>"_s);
    QVERIFY(m_folder->writeSettings(u"[Format]\nHeadSpace=1\nSpaceNum=1\nSpaceStr=0"_s));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(article(), u"<p>&nbsp;a</p>"_s);
}

QTEST_MAIN(TestFormatCommands)
#include "tst_format_commands.moc"
