#include "settings/config.h"
#include "settings/frm_setting.h"
#include "testsupport/message_box_catcher.h"
#include "testsupport/temp_app_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// A control's state as text: "1"/"0" for check and option boxes, the text of
// a text box, the index of a list.
QString state(const QWidget *control)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->isChecked() ? u"1"_s : u"0"_s;
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *list = qobject_cast<const QComboBox *>(control))
        return QString::number(list->currentIndex());
    return u"<unknown control>"_s;
}

} // namespace

class TestFrmSetting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void emptyFile_opensWithEverythingClear();
    void load_showsStoredValues_data();
    void load_showsStoredValues();
    void save_writesEveryOptionAndCloses();
    void save_sizeWithoutDimensions_data();
    void save_sizeWithoutDimensions();
    void save_numberFields_data();
    void save_numberFields();
    void save_keywordDensity_data();
    void save_keywordDensity();
    void save_noDefaultView_keepsStoredView();
    void save_unwritableFile_reportsFailureAndStaysOpen_data();
    void save_unwritableFile_reportsFailureAndStaysOpen();
    void showFor_oneDialogBesideItsOwner();
    void layout_fitsEveryCaption_data();
    void layout_fitsEveryCaption();

private:
    frmSetting *open(QWidget *parent = nullptr);
    template <typename T>
    T *control(const char *name);
    void save(MessageBoxCatcher &catcher);

    QPointer<frmSetting> m_dialog;
};

void TestFrmSetting::cleanup()
{
    delete m_dialog;
}

frmSetting *TestFrmSetting::open(QWidget *parent)
{
    m_dialog = new frmSetting(parent);
    m_dialog->show();
    return m_dialog;
}

template <typename T>
T *TestFrmSetting::control(const char *name)
{
    T *found = m_dialog ? m_dialog->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void TestFrmSetting::save(MessageBoxCatcher &catcher)
{
    const int before = int(catcher.texts.size());
    QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
    QCOMPARE(catcher.texts.size(), before + 1);
    QCOMPARE(catcher.buttonCount, 1);
    QCOMPARE(catcher.titles.last(), QCoreApplication::applicationName());
    // Let a dialog that closed itself go away.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmSetting::emptyFile_opensWithEverythingClear()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(QString()));
    const QByteArray before = app.readFile(u"\\setting\\config.ini");
    frmSetting *dialog = open();
    QCOMPARE(dialog->windowTitle(), u"Zorvane设置"_s);
    QVERIFY(!dialog->isModal());

    const QStringList groups = {u"Frame1"_s, u"Frame4"_s, u"Frame2"_s, u"Frame6"_s};
    for (const QString &name : groups)
        QVERIFY2(dialog->findChild<QGroupBox *>(name), qPrintable(name));
    QCOMPARE(control<QGroupBox>("Frame1")->title(), u"格式化设置"_s);

    const QList<QCheckBox *> boxes = dialog->findChildren<QCheckBox *>();
    QCOMPARE(boxes.size(), 16);
    for (const QCheckBox *box : boxes)
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));

    for (const char *name : {"txtSpaceNum", "txtMaxHeight", "txtMaxWidth"})
        QCOMPARE(control<QLineEdit>(name)->text(), u"0"_s);
    for (const char *name : {"txtSign", "txtKeyword", "txtLink"})
        QVERIFY(control<QLineEdit>(name)->text().isEmpty());

    const auto items = [](const QComboBox *list) {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->itemText(i);
        return result;
    };
    QStringList density = {u"选择密度"_s};
    for (int percent = 1; percent <= 20; ++percent)
        density << QString::number(percent) + u'%';
    QCOMPARE(items(control<QComboBox>("cbKeyword")), density);
    QCOMPARE(items(control<QComboBox>("cbPicStrong")), (QStringList{u"选择强度"_s, u"低"_s, u"中"_s, u"高"_s}));
    QCOMPARE(items(control<QComboBox>("cbLinkType")), (QStringList{u"原窗口"_s, u"新窗口"_s}));
    QCOMPARE(items(control<QComboBox>("cbCjkSpace")), (QStringList{u"保持原样"_s, u"加一个空格"_s, u"去掉空格"_s}));
    for (const char *name : {"cbKeyword", "cbPicStrong", "cbLinkType", "cbCjkSpace"})
        QCOMPARE(control<QComboBox>(name)->currentIndex(), 0);

    for (const char *name : {"opnFormat", "opnYc", "opnSeo", "opnSaveWords", "opnCheckWords", "opnFullSpace"})
        QVERIFY2(!control<QRadioButton>(name)->isChecked(), name);
    for (const char *name : {"opnNoSaveWords", "opnReplaceWords", "opnHalfSpace"})
        QVERIFY2(control<QRadioButton>(name)->isChecked(), name);

    // Opening and closing without saving writes nothing.
    QVERIFY(dialog->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_dialog);
    QCOMPARE(app.readFile(u"\\setting\\config.ini"), before);
}

void TestFrmSetting::load_showsStoredValues_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("flag 1 ticks") << u"[Format]\nHeadSpace=1"_s << u"chkHeadSpace"_s << u"1"_s;
    QTest::newRow("flag 2 stays clear") << u"[Format]\nExtBr=2"_s << u"chkExtBr"_s << u"0"_s;
    QTest::newRow("letters as space count") << u"[Format]\nSpaceNum=abc"_s << u"txtSpaceNum"_s << u"0"_s;
    QTest::newRow("fraction floored") << u"[Format]\nSpaceNum=3.7"_s << u"txtSpaceNum"_s << u"3"_s;
    QTest::newRow("density 5 percent") << u"[YC]\nKeywordStrong=5"_s << u"cbKeyword"_s << u"5"_s;
    QTest::newRow("density past the list") << u"[YC]\nKeywordStrong=21"_s << u"cbKeyword"_s << u"0"_s;
    QTest::newRow("negative link type") << u"[YC]\nLinkType=-1"_s << u"cbLinkType"_s << u"0"_s;
    QTest::newRow("strength past the list") << u"[ResizePic]\nStrong=4"_s << u"cbPicStrong"_s << u"0"_s;
    QTest::newRow("default view yc") << u"[Default]\nForm=2"_s << u"opnYc"_s << u"1"_s;
    QTest::newRow("default view 4 selects no format") << u"[Default]\nForm=4"_s << u"opnFormat"_s << u"0"_s;
    QTest::newRow("keep link words") << u"[Format]\nSaveWords=1"_s << u"opnSaveWords"_s << u"1"_s;
    QTest::newRow("mark typos 2 replaces") << u"[Format]\nCheckWordsType=2"_s << u"opnReplaceWords"_s << u"1"_s;
    QTest::newRow("full-width space") << u"[Format]\nSpaceStr=1"_s << u"opnFullSpace"_s << u"1"_s;
    QTest::newRow("chinese signature") << u"[Format]\nSign=  中文签名 "_s << u"txtSign"_s << u"中文签名"_s;
    QTest::newRow("loose sensitive check") << u"[Format]\nSensitiveLoose=1"_s << u"chkSensitiveLoose"_s << u"1"_s;
    QTest::newRow("no blanks between Chinese and Latin") << u"[Format]\nCjkSpace=2"_s << u"cbCjkSpace"_s << u"2"_s;
    QTest::newRow("spacing past the list") << u"[Format]\nCjkSpace=3"_s << u"cbCjkSpace"_s << u"0"_s;
}

void TestFrmSetting::load_showsStoredValues()
{
    QFETCH(QString, settings);
    QFETCH(QString, controlName);
    QFETCH(QString, expected);
    TempAppFolder app;
    QVERIFY(app.writeSettings(settings));
    open();
    const QWidget *widget = m_dialog->findChild<QWidget *>(controlName);
    QVERIFY(widget);
    QCOMPARE(state(widget), expected);
}

void TestFrmSetting::save_writesEveryOptionAndCloses()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nSign=old\n[YC]\nShowHelp=1\n"_s));
    MessageBoxCatcher catcher;
    frmSetting *dialog = open();
    QSignalSpy saved(dialog, &frmSetting::saved);

    for (const char *name :
         {"chkExtBr", "chkHeadSpace", "chkFull", "chkPoint", "chkWords", "chkHref", "chkExtSpace", "chkAutoSign",
          "chkEnd", "chkKeyword", "chkWholeWords", "chkSmall", "chkAutoLogin", "chkSensitiveLoose"})
        control<QCheckBox>(name)->setChecked(true);
    control<QRadioButton>("opnFullSpace")->setChecked(true);
    control<QRadioButton>("opnCheckWords")->setChecked(true);
    control<QRadioButton>("opnSaveWords")->setChecked(true);
    control<QRadioButton>("opnSeo")->setChecked(true);
    control<QLineEdit>("txtSpaceNum")->setText(u"4"_s);
    control<QLineEdit>("txtSign")->setText(u"  本文来源：某某网  "_s);
    control<QLineEdit>("txtKeyword")->setText(u"关键词"_s);
    control<QLineEdit>("txtLink")->setText(u"http://example.com/"_s);
    control<QComboBox>("cbLinkType")->setCurrentIndex(1);
    control<QComboBox>("cbPicStrong")->setCurrentIndex(2);
    control<QComboBox>("cbKeyword")->setCurrentIndex(7);
    control<QComboBox>("cbCjkSpace")->setCurrentIndex(1);
    control<QLineEdit>("txtMaxWidth")->setText(u"800"_s);

    save(catcher);
    QCOMPARE(catcher.texts, QStringList{u"保存成功。"_s});
    QCOMPARE(saved.size(), 1);
    QVERIFY(!m_dialog);

    const QStringList expected = {u"Format.ExtBr=1"_s,
                                  u"Format.HeadSpace=1"_s,
                                  u"Format.SpaceNum=4"_s,
                                  u"Format.SpaceStr=1"_s,
                                  u"Format.Full=1"_s,
                                  u"Format.Point=1"_s,
                                  u"Format.CheckWords=1"_s,
                                  u"Format.CheckWordsType=1"_s,
                                  u"Format.RemoveLink=1"_s,
                                  u"Format.SaveWords=1"_s,
                                  u"Format.ExtSpace=1"_s,
                                  u"Format.AutoSign=1"_s,
                                  u"Format.Start=0"_s,
                                  u"Format.End=1"_s,
                                  u"Format.Sign=本文来源：某某网"_s,
                                  u"Format.SensitiveLoose=1"_s,
                                  u"Format.CjkSpace=1"_s,
                                  u"YC.Keyword=1"_s,
                                  u"YC.KeywordStrong=7"_s,
                                  u"YC.KeywordStr=关键词"_s,
                                  u"YC.LinkUrl=http://example.com/"_s,
                                  u"YC.LinkType=1"_s,
                                  u"YC.ShowHelp=1"_s,
                                  u"YC.WholeWords=1"_s,
                                  u"ResizePic.Resize=0"_s,
                                  u"ResizePic.MaxHeight=0"_s,
                                  u"ResizePic.MaxWidth=800"_s,
                                  u"ResizePic.Small=1"_s,
                                  u"ResizePic.Strong=2"_s,
                                  u"Default.Form=3"_s,
                                  u"Default.ShowHelp="_s,
                                  u"login.AutoLogin=1"_s};
    for (const QString &line : expected) {
        const QString section = line.section(u'.', 0, 0);
        const QString key = line.section(u'.', 1).section(u'=', 0, 0);
        QCOMPARE(section + u'.' + key + u'=' + getConfig(key, section), line);
    }
    // The signature is stored as typed; only reading trims it.
    QVERIFY(app.readFile(u"\\setting\\config.ini").contains("Sign=  "));
}

void TestFrmSetting::save_sizeWithoutDimensions_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("width");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("height 0, width empty") << u"0"_s << QString() << false;
    QTest::newRow("letters in both") << u"abc"_s << u"x1"_s << false;
    QTest::newRow("negative height") << u"-5"_s << u"0"_s << false;
    QTest::newRow("width 600") << u"0"_s << u"600"_s << true;
}

void TestFrmSetting::save_sizeWithoutDimensions()
{
    QFETCH(QString, height);
    QFETCH(QString, width);
    QFETCH(bool, accepted);
    TempAppFolder app;
    const QByteArray before = app.readFile(u"\\setting\\config.ini");
    MessageBoxCatcher catcher;
    frmSetting *dialog = open();
    QSignalSpy saved(dialog, &frmSetting::saved);
    control<QCheckBox>("chkSize")->setChecked(true);
    control<QLineEdit>("txtMaxHeight")->setText(height);
    control<QLineEdit>("txtMaxWidth")->setText(width);

    save(catcher);
    if (accepted) {
        QCOMPARE(catcher.texts.last(), u"保存成功。"_s);
        QCOMPARE(getConfig(u"Resize"_s, u"ResizePic"_s), u"1"_s);
        QCOMPARE(getConfig(u"MaxWidth"_s, u"ResizePic"_s), QString::number(qMax(0, width.toInt())));
        QCOMPARE(getConfig(u"MaxHeight"_s, u"ResizePic"_s), QString::number(qMax(0, height.toInt())));
        return;
    }
    QCOMPARE(catcher.texts.last(), u"选择压缩尺寸后，最大高度和最大宽度必须至少填写一个，且大于0。"_s);
    QVERIFY(m_dialog && m_dialog->isVisible());
    QCOMPARE(saved.size(), 0);
    QCOMPARE(app.readFile(u"\\setting\\config.ini"), before);
}

void TestFrmSetting::save_numberFields_data()
{
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    QTest::newRow("letters as space count") << u"txtSpaceNum"_s << u"abc"_s << u"SpaceNum"_s << u"0"_s;
    QTest::newRow("fraction floored") << u"txtSpaceNum"_s << u"7.9"_s << u"SpaceNum"_s << u"7"_s;
    QTest::newRow("negative count") << u"txtSpaceNum"_s << u"-3"_s << u"SpaceNum"_s << u"0"_s;
    QTest::newRow("count too large") << u"txtSpaceNum"_s << u"99999"_s << u"SpaceNum"_s << u"32767"_s;
    QTest::newRow("height too large") << u"txtMaxHeight"_s << u"40000"_s << u"MaxHeight"_s << u"32767"_s;
    QTest::newRow("width beyond int") << u"txtMaxWidth"_s << u"1e12"_s << u"MaxWidth"_s << u"32767"_s;
    QTest::newRow("full-width digits") << u"txtMaxWidth"_s << u"６００"_s << u"MaxWidth"_s << u"0"_s;
}

void TestFrmSetting::save_numberFields()
{
    QFETCH(QString, controlName);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    TempAppFolder app;
    MessageBoxCatcher catcher;
    open();
    m_dialog->findChild<QLineEdit *>(controlName)->setText(typed);
    save(catcher);
    QCOMPARE(catcher.texts.last(), u"保存成功。"_s);
    const QString section = key == u"SpaceNum" ? u"Format"_s : u"ResizePic"_s;
    QCOMPARE(getConfig(key, section), stored);
}

void TestFrmSetting::save_keywordDensity_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("stored");
    QTest::newRow("5 percent") << u"5%"_s << u"5"_s;
    QTest::newRow("no density chosen") << u"选择密度"_s << u"0"_s;
}

void TestFrmSetting::save_keywordDensity()
{
    QFETCH(QString, item);
    QFETCH(QString, stored);
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[YC]\nKeywordStrong=12"_s));
    MessageBoxCatcher catcher;
    open();
    auto *list = control<QComboBox>("cbKeyword");
    const int index = list->findText(item);
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
    save(catcher);
    QCOMPARE(getConfig(u"KeywordStrong"_s, u"YC"_s), stored);
}

void TestFrmSetting::save_noDefaultView_keepsStoredView()
{
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Default]\nForm=9"_s));
    MessageBoxCatcher catcher;
    open();
    save(catcher);
    QCOMPARE(getConfig(u"Form"_s, u"Default"_s), u"9"_s);

    open();
    control<QRadioButton>("opnYc")->setChecked(true);
    save(catcher);
    QCOMPARE(getConfig(u"Form"_s, u"Default"_s), u"2"_s);
    open();
    QVERIFY(control<QRadioButton>("opnYc")->isChecked());
}

void TestFrmSetting::save_unwritableFile_reportsFailureAndStaysOpen_data()
{
    QTest::addColumn<bool>("missingFolder");
    QTest::newRow("read-only settings file") << false;
    QTest::newRow("missing settings folder") << true;
}

void TestFrmSetting::save_unwritableFile_reportsFailureAndStaysOpen()
{
    QFETCH(bool, missingFolder);
    TempAppFolder app;
    QVERIFY(app.writeSettings(u"[Format]\nHeadSpace=0"_s));
    const QString file = app.path(u"\\setting\\config.ini");
    if (missingFolder)
        QVERIFY(QDir(app.path(u"\\setting\\")).removeRecursively());
    else
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    const QByteArray before = app.readFile(u"\\setting\\config.ini");

    MessageBoxCatcher catcher;
    frmSetting *dialog = open();
    QSignalSpy saved(dialog, &frmSetting::saved);
    control<QCheckBox>("chkHeadSpace")->setChecked(true);
    save(catcher);

    QCOMPARE(catcher.texts, QStringList{u"保存失败，请检查设置文件是否可写。"_s});
    QVERIFY(m_dialog && m_dialog->isVisible());
    QVERIFY(control<QCheckBox>("chkHeadSpace")->isChecked());
    QCOMPARE(saved.size(), 0);
    QCOMPARE(app.readFile(u"\\setting\\config.ini"), before);
    QCOMPARE(QFileInfo::exists(app.path(u"\\setting\\")), !missingFolder);
}

void TestFrmSetting::showFor_oneDialogBesideItsOwner()
{
    TempAppFolder app;
    QWidget owner;
    owner.setGeometry(120, 90, 800, 600);
    owner.show();
    m_dialog = frmSetting::showFor(&owner);
    QVERIFY(m_dialog->isWindow() && m_dialog->isVisible());
    const int offset = owner.logicalDpiX() * 1000 / 1440;
    QCOMPARE(m_dialog->frameGeometry().topLeft(), owner.frameGeometry().topLeft() + QPoint(offset, 0));
    QCOMPARE(frmSetting::showFor(&owner), m_dialog.data());

    // Escape closes it like the window's close button: it goes, and the next one is new.
    QTest::keyClick(m_dialog, Qt::Key_Escape);
    QVERIFY(frmSetting::showFor(&owner) != m_dialog.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_dialog);
    QCOMPARE(owner.findChildren<frmSetting *>().size(), 1);
}

void TestFrmSetting::layout_fitsEveryCaption_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("small font") << 8;
    QTest::newRow("large font") << 22;
}

void TestFrmSetting::layout_fitsEveryCaption()
{
    QFETCH(int, pointSize);
    TempAppFolder app;
    const QFont previous = QApplication::font();
    QFont font = previous;
    font.setPointSize(pointSize);
    QApplication::setFont(font);
    const auto restore = qScopeGuard([&previous] { QApplication::setFont(previous); });
    open();
    m_dialog->adjustSize();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog));

    const QList<QWidget *> widgets = m_dialog->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (!qobject_cast<const QAbstractButton *>(widget) && !qobject_cast<const QLabel *>(widget))
            continue;
        const auto *label = qobject_cast<const QLabel *>(widget);
        const QString what = label ? label->text() : widget->objectName();
        QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(what));
        QVERIFY2(widget->height() >= widget->minimumSizeHint().height(), qPrintable(what));
        // Nothing pokes out of its parent.
        QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(what));
    }
}

QTEST_MAIN(TestFrmSetting)
#include "tst_frm_setting.moc"
