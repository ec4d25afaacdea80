// One-key format on the main window, over the real editor page.
#include "editor/editor_host.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "main_window_fixture.h"
#include "settings/config_keys.h"
#include "shell/clickable_label.h"
#include "shell/editor_commands.h"
#include "shell/frm_format.h"
#include "testsupport/temp_app_folder.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
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
    QVERIFY(headSpace && href);
    QVERIFY(headSpace->isChecked());
    QVERIFY(!href->isChecked());
    headSpace->click();
    href->click();
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"0"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), u"1"_s);
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
