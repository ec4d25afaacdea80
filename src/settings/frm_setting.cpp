#include "settings/frm_setting.h"

#include "settings/setting_values.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

template <typename Control>
Control *named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}

QLabel *label(const QString &text, QWidget *buddy = nullptr)
{
    auto *result = new QLabel(text);
    if (buddy)
        result->setBuddy(buddy);
    return result;
}

// A number box as wide as five digits in whatever font it has.
class NumberBox : public QLineEdit
{
public:
    QSize sizeHint() const override
    {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QMargins margins = textMargins();
        const QSize text(fontMetrics().horizontalAdvance(u"000000"_s) + margins.left() + margins.right(),
                         QLineEdit::sizeHint().height());
        return {style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this).width(), text.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

QLineEdit *numberBox(const QString &name)
{
    auto *box = named(new NumberBox, name);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return box;
}

QButtonGroup *group(QObject *owner, std::initializer_list<QRadioButton *> buttons)
{
    auto *result = new QButtonGroup(owner);
    for (QRadioButton *button : buttons)
        result->addButton(button);
    return result;
}

void select(QButtonGroup *buttons, QRadioButton *chosen)
{
    // An exclusive group cannot be cleared, and "none chosen" is a valid state.
    buttons->setExclusive(false);
    for (QAbstractButton *button : buttons->buttons())
        button->setChecked(button == chosen);
    buttons->setExclusive(true);
}

// Modal, one OK button, the program's title. Touches no dialog member: after a
// successful save the dialog is already closed.
void showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

frmSetting::frmSetting(QWidget *parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(u"Zorvane设置"_s);

    // Format settings
    Frame1 = named(new QGroupBox(u"格式化设置"_s), u"Frame1"_s);
    chkExtBr = named(new QCheckBox(u"移除空行（自动去掉多余的换行。）"_s), u"chkExtBr"_s);
    chkHeadSpace = named(new QCheckBox(u"加入段首空格，空格类型："_s), u"chkHeadSpace"_s);
    opnFullSpace = named(new QRadioButton(u"全角空格"_s), u"opnFullSpace"_s);
    opnHalfSpace = named(new QRadioButton(u"普通空格"_s), u"opnHalfSpace"_s);
    txtSpaceNum = numberBox(u"txtSpaceNum"_s);
    chkFull = named(new QCheckBox(u"全角数字、字母自动转换为半角。"_s), u"chkFull"_s);
    chkPoint = named(new QCheckBox(u"标点符号查错。（英文标点\",.!?\"转换为中文标点。）"_s), u"chkPoint"_s);
    chkWords = named(new QCheckBox(u"文字检错。监测是否有词库中的错字错词。"_s), u"chkWords"_s);
    opnCheckWords = named(new QRadioButton(u"高亮显示错字、标点（红色显示）"_s), u"opnCheckWords"_s);
    opnReplaceWords = named(new QRadioButton(u"替换错字、标点"_s), u"opnReplaceWords"_s);
    chkSensitiveLoose =
        named(new QCheckBox(u"敏感字词识别变形（间隔符号、全半角、大小写、繁体字）"_s), u"chkSensitiveLoose"_s);
    cbCjkSpace = named(new QComboBox, u"cbCjkSpace"_s);
    chkHref = named(new QCheckBox(u"去除链接："_s), u"chkHref"_s);
    opnSaveWords = named(new QRadioButton(u"保留文字"_s), u"opnSaveWords"_s);
    opnNoSaveWords = named(new QRadioButton(u"不保留文字"_s), u"opnNoSaveWords"_s);
    chkExtSpace = named(new QCheckBox(u"去除文字内多余空格（全角和半角空格）"_s), u"chkExtSpace"_s);
    chkAutoSign = named(new QCheckBox(u"自动添加签名，位置："_s), u"chkAutoSign"_s);
    chkStart = named(new QCheckBox(u"起始位置"_s), u"chkStart"_s);
    chkEnd = named(new QCheckBox(u"结束位置"_s), u"chkEnd"_s);
    txtSign = named(new QLineEdit, u"txtSign"_s);

    auto *format = new QVBoxLayout(Frame1);
    format->addLayout(row({chkExtBr}));
    format->addLayout(row({chkHeadSpace, opnFullSpace, opnHalfSpace, label(u"数量："_s, txtSpaceNum), txtSpaceNum}));
    format->addLayout(row({chkFull}));
    format->addLayout(row({chkPoint}));
    format->addLayout(row({chkWords}));
    format->addLayout(row({label(u"标点和文字检错方式："_s), opnCheckWords, opnReplaceWords}));
    format->addLayout(row({chkSensitiveLoose}));
    format->addLayout(row({label(u"中英文之间的空格："_s, cbCjkSpace), cbCjkSpace}));
    format->addLayout(row({chkHref, opnSaveWords, opnNoSaveWords}));
    format->addLayout(row({chkExtSpace}));
    format->addLayout(row({chkAutoSign, chkStart, chkEnd}));
    auto *signRow = new QHBoxLayout;
    signRow->addWidget(label(u"签名内容："_s, txtSign));
    signRow->addWidget(txtSign, 1);
    format->addLayout(signRow);
    format->addStretch(1);

    // Pseudo-original settings
    Frame4 = named(new QGroupBox(u"伪原创设置"_s), u"Frame4"_s);
    chkKeyword = named(new QCheckBox(u"随机关键词，密度："_s), u"chkKeyword"_s);
    cbKeyword = named(new QComboBox, u"cbKeyword"_s);
    txtKeyword = named(new QLineEdit, u"txtKeyword"_s);
    txtLink = named(new QLineEdit, u"txtLink"_s);
    cbLinkType = named(new QComboBox, u"cbLinkType"_s);
    chkWholeWords = named(new QCheckBox(u"同义词只替换整词（按中文分词，标签内不替换）"_s), u"chkWholeWords"_s);

    auto *yc = new QFormLayout(Frame4);
    yc->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    yc->addRow(chkKeyword, row({cbKeyword}));
    yc->addRow(label(u"关键词："_s, txtKeyword), txtKeyword);
    yc->addRow(label(u"关键词链接地址（可空）："_s, txtLink), txtLink);
    yc->addRow(label(u"打开方式："_s, cbLinkType), row({cbLinkType}));
    yc->addRow(chkWholeWords);

    // Image compression settings
    Frame2 = named(new QGroupBox(u"图片压缩设置"_s), u"Frame2"_s);
    chkSize = named(new QCheckBox(u"压缩尺寸，最大高度："_s), u"chkSize"_s);
    txtMaxHeight = numberBox(u"txtMaxHeight"_s);
    txtMaxWidth = numberBox(u"txtMaxWidth"_s);
    chkSmall = named(new QCheckBox(u"压缩质量，选择强度："_s), u"chkSmall"_s);
    cbPicStrong = named(new QComboBox, u"cbPicStrong"_s);

    auto *pictures = new QVBoxLayout(Frame2);
    pictures->addLayout(
        row({chkSize, txtMaxHeight, label(u"px，最大宽度："_s, txtMaxWidth), txtMaxWidth, label(u"px。"_s)}));
    pictures->addLayout(row({chkSmall, cbPicStrong}));

    // System settings
    Frame6 = named(new QGroupBox(u"系统设置"_s), u"Frame6"_s);
    opnFormat = named(new QRadioButton(u"格式化"_s), u"opnFormat"_s);
    opnYc = named(new QRadioButton(u"伪原创"_s), u"opnYc"_s);
    opnSeo = named(new QRadioButton(u"SEO"_s), u"opnSeo"_s);
    chkAutoLogin = named(new QCheckBox(u"软件运行自动登陆"_s), u"chkAutoLogin"_s);

    auto *system = new QVBoxLayout(Frame6);
    system->addLayout(row({label(u"默认显示界面："_s), opnFormat, opnYc, opnSeo}));
    system->addLayout(row({chkAutoLogin}));

    cmdOK = named(new QPushButton(u"保存设置"_s), u"cmdOK"_s);
    cmdOK->setDefault(true);

    // Option buttons share a frame, so each pair or triple needs its own group.
    m_spaceKind = group(this, {opnFullSpace, opnHalfSpace});
    m_checkWordsType = group(this, {opnCheckWords, opnReplaceWords});
    m_linkWords = group(this, {opnSaveWords, opnNoSaveWords});
    m_defaultForm = group(this, {opnFormat, opnYc, opnSeo});

    auto *right = new QVBoxLayout;
    right->addWidget(Frame4);
    right->addWidget(Frame2);
    right->addWidget(Frame6);
    right->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *main = new QGridLayout(this);
    main->addWidget(Frame1, 0, 0);
    main->addLayout(right, 0, 1);
    main->addLayout(buttons, 1, 0, 1, 2);
    main->setColumnStretch(0, 1);
    main->setColumnStretch(1, 1);

    connect(cmdOK, &QPushButton::clicked, this, &frmSetting::cmdOK_clicked);

    loadValues();
    placeBesideParent();
}

frmSetting *frmSetting::showFor(QWidget *owner)
{
    frmSetting *dialog = nullptr;
    if (owner) {
        // A closed dialog may still wait for its deletion; it does not count.
        for (frmSetting *open : owner->findChildren<frmSetting *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (open->isVisible())
                dialog = open;
        }
    }
    if (!dialog)
        dialog = new frmSetting(owner);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

QString frmSetting::sizeRequiredMessage()
{
    return u"选择压缩尺寸后，最大高度和最大宽度必须至少填写一个，且大于0。"_s;
}

QString frmSetting::savedMessage()
{
    return u"保存成功。"_s;
}

QString frmSetting::saveFailedMessage()
{
    return u"保存失败，请检查设置文件是否可写。"_s;
}

void frmSetting::loadValues()
{
    const SettingValues v = loadSettingValues();

    chkExtBr->setChecked(v.extBr);
    chkHeadSpace->setChecked(v.headSpace);
    chkFull->setChecked(v.full);
    chkPoint->setChecked(v.point);
    chkWords->setChecked(v.checkWords);
    chkHref->setChecked(v.removeLink);
    chkExtSpace->setChecked(v.extSpace);
    chkAutoSign->setChecked(v.autoSign);
    chkStart->setChecked(v.signAtStart);
    chkEnd->setChecked(v.signAtEnd);
    chkSensitiveLoose->setChecked(v.sensitiveLoose);
    chkKeyword->setChecked(v.keyword);
    chkWholeWords->setChecked(v.wholeWords);
    chkSize->setChecked(v.resize);
    chkSmall->setChecked(v.small);
    chkAutoLogin->setChecked(v.autoLogin);

    txtSpaceNum->setText(QString::number(v.spaceNum));
    txtMaxWidth->setText(QString::number(v.maxWidth));
    txtMaxHeight->setText(QString::number(v.maxHeight));

    select(m_linkWords, v.saveWords ? opnSaveWords : opnNoSaveWords);
    select(m_checkWordsType, v.markTypos ? opnCheckWords : opnReplaceWords);
    select(m_spaceKind, v.fullSpace ? opnFullSpace : opnHalfSpace);
    QRadioButton *views[] = {nullptr, opnFormat, opnYc, opnSeo};
    select(m_defaultForm, views[v.defaultForm]);

    txtSign->setText(v.sign);
    txtKeyword->setText(v.keywordStr);
    txtLink->setText(v.linkUrl);

    cbPicStrong->clear();
    cbPicStrong->addItems({u"选择强度"_s, u"低"_s, u"中"_s, u"高"_s});
    cbPicStrong->setCurrentIndex(v.strong);
    cbKeyword->clear();
    cbKeyword->addItem(u"选择密度"_s);
    for (int percent = 1; percent <= KeywordStrongMax; ++percent)
        cbKeyword->addItem(QString::number(percent) + u'%');
    cbKeyword->setCurrentIndex(v.keywordStrong);
    cbLinkType->clear();
    cbLinkType->addItems({u"原窗口"_s, u"新窗口"_s});
    cbLinkType->setCurrentIndex(v.linkType);
    cbCjkSpace->clear();
    cbCjkSpace->addItems({u"保持原样"_s, u"加一个空格"_s, u"去掉空格"_s});
    cbCjkSpace->setCurrentIndex(v.cjkSpace);
}

void frmSetting::placeBesideParent()
{
    QWidget *owner = parentWidget();
    if (!owner)
        return;
    // 1000 twips (1440 to the inch) right of the owner's left edge, level with its top.
    const int offset = owner->logicalDpiX() * 1000 / 1440;
    move(owner->frameGeometry().topLeft() + QPoint(offset, 0));
}

void frmSetting::cmdOK_clicked()
{
    SettingValues v;
    v.extBr = chkExtBr->isChecked();
    v.headSpace = chkHeadSpace->isChecked();
    v.fullSpace = opnFullSpace->isChecked();
    v.spaceNum = numberFieldValue(txtSpaceNum->text());
    v.full = chkFull->isChecked();
    v.point = chkPoint->isChecked();
    v.checkWords = chkWords->isChecked();
    v.markTypos = opnCheckWords->isChecked();
    v.sensitiveLoose = chkSensitiveLoose->isChecked();
    v.cjkSpace = qMax(0, cbCjkSpace->currentIndex());
    v.removeLink = chkHref->isChecked();
    v.saveWords = opnSaveWords->isChecked();
    v.extSpace = chkExtSpace->isChecked();
    v.autoSign = chkAutoSign->isChecked();
    v.signAtStart = chkStart->isChecked();
    v.signAtEnd = chkEnd->isChecked();
    v.sign = txtSign->text();

    v.keyword = chkKeyword->isChecked();
    v.wholeWords = chkWholeWords->isChecked();
    v.keywordStrong = qMax(0, cbKeyword->currentIndex());
    v.keywordStr = txtKeyword->text();
    v.linkUrl = txtLink->text();
    v.linkType = qMax(0, cbLinkType->currentIndex());

    v.resize = chkSize->isChecked();
    v.maxHeight = numberFieldValue(txtMaxHeight->text());
    v.maxWidth = numberFieldValue(txtMaxWidth->text());
    v.small = chkSmall->isChecked();
    v.strong = qMax(0, cbPicStrong->currentIndex());

    v.defaultForm = opnFormat->isChecked() ? 1 : opnYc->isChecked() ? 2 : opnSeo->isChecked() ? 3 : 0;
    v.autoLogin = chkAutoLogin->isChecked();

    switch (saveSettingValues(v)) {
    case SettingsSaveResult::SizeRequired:
        showMessage(this, sizeRequiredMessage());
        return;
    case SettingsSaveResult::WriteFailed:
        // The dialog stays open with everything as typed, so nothing is lost.
        showMessage(this, saveFailedMessage());
        return;
    case SettingsSaveResult::Saved:
        break;
    }
    Q_EMIT saved();
    QWidget *owner = parentWidget();
    close();
    showMessage(owner, savedMessage());
}

} // namespace zorvane
