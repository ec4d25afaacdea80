#include "command_fixture.h"
#include "settings/frm_setting.h"
#include "shell/command_context.h"
#include "shell/image_commands.h"
#include "testsupport/temp_app_folder.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// The image commands on a bare window over an in-memory editor.
struct CommandsUnderTest : CommandWindow
{
    ImageCommands *commands = new ImageCommands(context);
};

} // namespace

class TestImageCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cmdRePic_asksForPictureAndShowsOutcome();
    void cmdRePic_withoutStrength_opensSettings();
};

void TestImageCommands::cmdRePic_asksForPictureAndShowsOutcome()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[ResizePic]\nResize=1\nMaxWidth=200\nSmall=0\n"_s));
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString source = app.folder().root() + u"/photo.bmp"_s;
    QVERIFY(picture.save(source, "bmp"));

    CommandsUnderTest t;
    RecordingView &view = t.view;
    ImageCommands *commands = t.commands;
    QCOMPARE(t.window.findChild<QPushButton *>(u"cmdRePic"_s), commands->cmdRePic);
    QCOMPARE(commands->cmdRePic->text(), u"图片压缩"_s);

    // Cancelled, then a path that is gone: nothing is said.
    commands->cmdRePic->click();
    view.chosenPath = app.folder().root() + u"/gone.jpg"_s;
    commands->cmdRePic->click();
    QVERIFY(view.messages.isEmpty());
    QCOMPARE(view.choices.first().title, u"请选择要压缩图片文件"_s);
    QCOMPARE(view.choices.first().filter, u"图片文件(*.jpg *.bmp *.gif *.jpeg *.png);;所有文件(*.*)"_s);

    view.chosenPath = source;
    commands->cmdRePic->click();
    const QString target = app.folder().root() + u"/photo_new.bmp"_s;
    QCOMPARE(view.messages, QStringList{u"压缩成功，图片已保存至："_s + target});
    QCOMPARE(QImageReader(target).size(), QSize(200, 150));
}

void TestImageCommands::cmdRePic_withoutStrength_opensSettings()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[ResizePic]\nSmall=1\nStrong=0\n"_s));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString source = app.folder().root() + u"/photo.bmp"_s;
    QVERIFY(picture.save(source, "bmp"));

    CommandsUnderTest t;
    RecordingView &view = t.view;
    ImageCommands *commands = t.commands;
    view.chosenPath = source;
    commands->cmdRePic->click();

    QCOMPARE(view.messages, QStringList{u"请选择压缩图片大小的强度。"_s});
    frmSetting *dialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<frmSetting *>(w); candidate && candidate->isVisible())
            dialog = candidate;
    }
    QVERIFY(dialog);
    dialog->close();
}

QTEST_MAIN(TestImageCommands)
#include "tst_image_commands.moc"
