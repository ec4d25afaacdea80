#include "command_fixture.h"
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
using namespace zorvane;

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
    CommandWindow w;
    SettingsCommands commands(w.context);
    QCOMPARE(w.window.findChild<QCheckBox *>(u"chkHeadSpace"_s)->isChecked(), headSpace);
    QCOMPARE(w.window.findChild<QCheckBox *>(u"chkHref"_s)->isChecked(), href);
    QVERIFY(w.window.findChild<ClickableLabel *>(u"lblSetting"_s));
}

void TestSettingsCommands::click_storesTheOption()
{
    TempAppFolder app;
    CommandWindow w;
    SettingsCommands commands(w.context);
    w.window.show();
    QTest::mouseClick(commands.chkHeadSpace, Qt::LeftButton);
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"1"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), QString());
    QTest::mouseClick(commands.chkHref, Qt::LeftButton);
    QTest::mouseClick(commands.chkHeadSpace, Qt::LeftButton);
    QCOMPARE(configText(Cfg::Format::HeadSpace), u"0"_s);
    QCOMPARE(configText(Cfg::Format::RemoveLink), u"1"_s);
    QVERIFY(w.view.messages.isEmpty());
}

void TestSettingsCommands::click_readOnlyFile_putsTheBoxBack()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nRemoveLink=1"_s));
    QVERIFY(QFile::setPermissions(app.path(u"\\setting\\config.ini"), QFile::ReadOwner));
    CommandWindow w;
    SettingsCommands commands(w.context);
    w.window.show();
    QTest::mouseClick(commands.chkHref, Qt::LeftButton);
    QVERIFY(commands.chkHref->isChecked());
    QCOMPARE(w.view.messages, QStringList{frmSetting::saveFailedMessage()});
}

void TestSettingsCommands::dialogSave_boxesFollow()
{
    TempAppFolder app;
    CommandWindow w;
    SettingsCommands commands(w.context);
    w.window.show();
    MessageBoxCatcher catcher;

    QTest::mouseClick(commands.lblSetting, Qt::LeftButton);
    QTest::mouseClick(commands.lblSetting, Qt::LeftButton);
    const QList<frmSetting *> dialogs = w.window.findChildren<frmSetting *>();
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
    dialog = w.window.findChild<frmSetting *>();
    QVERIFY(dialog->findChild<QCheckBox *>(u"chkHref"_s)->isChecked());
    dialog->findChild<QCheckBox *>(u"chkHref"_s)->setChecked(false);
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
    QVERIFY(commands.chkHeadSpace->isChecked());
    QVERIFY(!commands.chkHref->isChecked());
}

QTEST_MAIN(TestSettingsCommands)
#include "tst_settings_commands.moc"
