#include "editor/editor_session.h"
#include "editor/editor_view.h"
#include "editor/in_memory_editor_host.h"
#include "settings/config_keys.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/settings_commands.h"
#include "testsupport/message_box_catcher.h"
#include "testsupport/temp_app_folder.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The main window as far as the settings need it: the two areas they fill,
// and message boxes collected instead of shown.
class TestWindow : public QWidget, public EditorView
{
public:
    TestWindow() : session(host, *this), context(session, this)
    {
        auto *layout = new QVBoxLayout(this);
        auto *links = new QHBoxLayout;
        auto *panel = new QVBoxLayout;
        layout->addLayout(links);
        layout->addLayout(panel);
        context.setArea(CommandContext::Area::Links, links);
        context.setArea(CommandContext::Area::FormatPanel, panel);
    }

    void showMessageBox(const QString &text) override { messages << text; }
    void setFormatActionText(const QString &) override {}
    void setYcActionText(const QString &) override {}
    QString chooseOpenFile(const FileChoice &) override { return {}; }
    QString chooseSaveFile(const FileChoice &) override { return {}; }
    void showPreview(const QString &) override {}
    void hidePreview() override {}
    void setPreviewButton(const QString &, const QColor &) override {}
    void showTextBox(const QString &) override {}
    void hideTextBox() override {}
    QString textBoxText() const override { return {}; }
    void setTextBoxText(const QString &) override {}
    void setTextModeButton(const QString &, const QColor &) override {}

    InMemoryEditorHost host;
    EditorSession session;
    CommandContext context;
    QStringList messages;
};

} // namespace

class TestSettingsCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUp_setsBoxesFromTheFile_data();
    void startUp_setsBoxesFromTheFile();
    void click_storesTheOption();
    void click_readOnlyFile_putsTheBoxBack();
    void dialogSave_boxesFollow();
};

void TestSettingsCommands::startUp_setsBoxesFromTheFile_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("headSpace");
    QTest::addColumn<bool>("href");
    QTest::newRow("no keys") << QString() << false << false;
    QTest::newRow("both on") << u"[Format]\nHeadSpace=1\nRemoveLink=1"_s << true << true;
    QTest::newRow("2 is not on") << u"[Format]\nHeadSpace=2\nRemoveLink=1"_s << false << true;
}

void TestSettingsCommands::startUp_setsBoxesFromTheFile()
{
    QFETCH(QString, settings);
    QFETCH(bool, headSpace);
    QFETCH(bool, href);
    TempAppFolder app;
    QVERIFY(app.writeSettings(settings));
    TestWindow window;
    SettingsCommands commands(window.context);
    QCOMPARE(window.findChild<QCheckBox *>(u"chkHeadSpace"_s)->isChecked(), headSpace);
    QCOMPARE(window.findChild<QCheckBox *>(u"chkHref"_s)->isChecked(), href);
    QVERIFY(window.findChild<ClickableLabel *>(u"lblSetting"_s));
}

void TestSettingsCommands::click_storesTheOption()
{
    TempAppFolder app;
    TestWindow window;
    SettingsCommands commands(window.context);
    window.show();
    QTest::mouseClick(commands.chkHeadSpace, Qt::LeftButton);
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"1"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), QString());
    QTest::mouseClick(commands.chkHref, Qt::LeftButton);
    QTest::mouseClick(commands.chkHeadSpace, Qt::LeftButton);
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"0"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), u"1"_s);
    QVERIFY(window.messages.isEmpty());
}

void TestSettingsCommands::click_readOnlyFile_putsTheBoxBack()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nRemoveLink=1"_s));
    QVERIFY(QFile::setPermissions(app.path(u"\\setting\\config.ini"), QFile::ReadOwner));
    TestWindow window;
    SettingsCommands commands(window.context);
    window.show();
    QTest::mouseClick(commands.chkHref, Qt::LeftButton);
    QVERIFY(commands.chkHref->isChecked());
    QCOMPARE(window.messages, QStringList{frmSetting::saveFailedMessage()});
}

void TestSettingsCommands::dialogSave_boxesFollow()
{
    TempAppFolder app;
    TestWindow window;
    SettingsCommands commands(window.context);
    window.show();
    MessageBoxCatcher catcher;

    QTest::mouseClick(commands.lblSetting, Qt::LeftButton);
    QTest::mouseClick(commands.lblSetting, Qt::LeftButton);
    const QList<frmSetting *> dialogs = window.findChildren<frmSetting *>();
    QCOMPARE(dialogs.size(), 1);
    frmSetting *dialog = dialogs.first();
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    dialog->findChild<QCheckBox *>(u"chkHeadSpace"_s)->setChecked(true);
    dialog->findChild<QCheckBox *>(u"chkHref"_s)->setChecked(true);
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);

    QCOMPARE(catcher.texts, QStringList{u"保存成功。"_s});
    QVERIFY(commands.chkHeadSpace->isChecked());
    QVERIFY(commands.chkHref->isChecked());

    // And back off through a dialog opened afresh.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::mouseClick(commands.lblSetting, Qt::LeftButton);
    dialog = window.findChild<frmSetting *>();
    QVERIFY(dialog->findChild<QCheckBox *>(u"chkHref"_s)->isChecked());
    dialog->findChild<QCheckBox *>(u"chkHref"_s)->setChecked(false);
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
    QVERIFY(commands.chkHeadSpace->isChecked());
    QVERIFY(!commands.chkHref->isChecked());
}

QTEST_MAIN(TestSettingsCommands)
#include "tst_settings_commands.moc"
