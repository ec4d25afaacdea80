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

namespace {

template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
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
        const QSize text(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + margins.left() + margins.right(),
                         QLineEdit::sizeHint().height());
        return {style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this).width(), text.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

QLineEdit *numberBox(const char *name)
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
    setWindowTitle(QStringLiteral("Zorvane设置"));

    // Format settings
    Frame1 = named(new QGroupBox(QStringLiteral("格式化设置")), "Frame1");
    chkExtBr = named(new QCheckBox(QStringLiteral("移除空行（自动去掉多余的换行。）")), "chkExtBr");
    chkHeadSpace = named(new QCheckBox(QStringLiteral("加入段首空格，空格类型：")), "chkHeadSpace");
    opnFullSpace = named(new QRadioButton(QStringLiteral("全角空格")), "opnFullSpace");
    opnHalfSpace = named(new QRadioButton(QStringLiteral("普通空格")), "opnHalfSpace");
    txtSpaceNum = numberBox("txtSpaceNum");
    chkFull = named(new QCheckBox(QStringLiteral("全角数字、字母自动转换为半角。")), "chkFull");
    chkPoint = named(new QCheckBox(QStringLiteral("标点符号查错。（英文标点\",.!?\"转换为中文标点。）")), "chkPoint");
    chkWords = named(new QCheckBox(QStringLiteral("文字检错。监测是否有词库中的错字错词。")), "chkWords");
    opnCheckWords = named(new QRadioButton(QStringLiteral("高亮显示错字、标点（红色显示）")), "opnCheckWords");
    opnReplaceWords = named(new QRadioButton(QStringLiteral("替换错字、标点")), "opnReplaceWords");
    chkHref = named(new QCheckBox(QStringLiteral("去除链接：")), "chkHref");
    opnSaveWords = named(new QRadioButton(QStringLiteral("保留文字")), "opnSaveWords");
    opnNoSaveWords = named(new QRadioButton(QStringLiteral("不保留文字")), "opnNoSaveWords");
    chkExtSpace = named(new QCheckBox(QStringLiteral("去除文字内多余空格（全角和半角空格）")), "chkExtSpace");
    chkAutoSign = named(new QCheckBox(QStringLiteral("自动添加签名，位置：")), "chkAutoSign");
    chkStart = named(new QCheckBox(QStringLiteral("起始位置")), "chkStart");
    chkEnd = named(new QCheckBox(QStringLiteral("结束位置")), "chkEnd");
    txtSign = named(new QLineEdit, "txtSign");

    auto *format = new QVBoxLayout(Frame1);
    format->addLayout(row({chkExtBr}));
    format->addLayout(
        row({chkHeadSpace, opnFullSpace, opnHalfSpace, label(QStringLiteral("数量："), txtSpaceNum), txtSpaceNum}));
    format->addLayout(row({chkFull}));
    format->addLayout(row({chkPoint}));
    format->addLayout(row({chkWords}));
    format->addLayout(row({label(QStringLiteral("标点和文字检错方式：")), opnCheckWords, opnReplaceWords}));
    format->addLayout(row({chkHref, opnSaveWords, opnNoSaveWords}));
    format->addLayout(row({chkExtSpace}));
    format->addLayout(row({chkAutoSign, chkStart, chkEnd}));
    auto *signRow = new QHBoxLayout;
    signRow->addWidget(label(QStringLiteral("签名内容："), txtSign));
    signRow->addWidget(txtSign, 1);
    format->addLayout(signRow);
    format->addStretch(1);

    // Pseudo-original settings
    Frame4 = named(new QGroupBox(QStringLiteral("伪原创设置")), "Frame4");
    chkKeyword = named(new QCheckBox(QStringLiteral("随机关键词，密度：")), "chkKeyword");
    cbKeyword = named(new QComboBox, "cbKeyword");
    txtKeyword = named(new QLineEdit, "txtKeyword");
    txtLink = named(new QLineEdit, "txtLink");
    cbLinkType = named(new QComboBox, "cbLinkType");

    auto *yc = new QFormLayout(Frame4);
    yc->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    yc->addRow(chkKeyword, row({cbKeyword}));
    yc->addRow(label(QStringLiteral("关键词："), txtKeyword), txtKeyword);
    yc->addRow(label(QStringLiteral("关键词链接地址（可空）："), txtLink), txtLink);
    yc->addRow(label(QStringLiteral("打开方式："), cbLinkType), row({cbLinkType}));

    // Image compression settings
    Frame2 = named(new QGroupBox(QStringLiteral("图片压缩设置")), "Frame2");
    chkSize = named(new QCheckBox(QStringLiteral("压缩尺寸，最大高度：")), "chkSize");
    txtMaxHeight = numberBox("txtMaxHeight");
    txtMaxWidth = numberBox("txtMaxWidth");
    chkSmall = named(new QCheckBox(QStringLiteral("压缩质量，选择强度：")), "chkSmall");
    cbPicStrong = named(new QComboBox, "cbPicStrong");

    auto *pictures = new QVBoxLayout(Frame2);
    pictures->addLayout(row({chkSize, txtMaxHeight, label(QStringLiteral("px，最大宽度："), txtMaxWidth), txtMaxWidth,
                             label(QStringLiteral("px。"))}));
    pictures->addLayout(row({chkSmall, cbPicStrong}));

    // System settings
    Frame6 = named(new QGroupBox(QStringLiteral("系统设置")), "Frame6");
    opnFormat = named(new QRadioButton(QStringLiteral("格式化")), "opnFormat");
    opnYc = named(new QRadioButton(QStringLiteral("伪原创")), "opnYc");
    opnSeo = named(new QRadioButton(QStringLiteral("SEO")), "opnSeo");
    chkAutoLogin = named(new QCheckBox(QStringLiteral("软件运行自动登陆")), "chkAutoLogin");

    auto *system = new QVBoxLayout(Frame6);
    system->addLayout(row({label(QStringLiteral("默认显示界面：")), opnFormat, opnYc, opnSeo}));
    system->addLayout(row({chkAutoLogin}));

    cmdOK = named(new QPushButton(QStringLiteral("保存设置")), "cmdOK");
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
    return QStringLiteral("选择压缩尺寸后，最大高度和最大宽度必须至少填写一个，且大于0。");
}

QString frmSetting::savedMessage()
{
    return QStringLiteral("保存成功。");
}

QString frmSetting::saveFailedMessage()
{
    return QStringLiteral("保存失败，请检查设置文件是否可写。");
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
    chkKeyword->setChecked(v.keyword);
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
    cbPicStrong->addItems(
        {QStringLiteral("选择强度"), QStringLiteral("低"), QStringLiteral("中"), QStringLiteral("高")});
    cbPicStrong->setCurrentIndex(v.strong);
    cbKeyword->clear();
    cbKeyword->addItem(QStringLiteral("选择密度"));
    for (int percent = 1; percent <= KeywordStrongMax; ++percent)
        cbKeyword->addItem(QString::number(percent) + u'%');
    cbKeyword->setCurrentIndex(v.keywordStrong);
    cbLinkType->clear();
    cbLinkType->addItems({QStringLiteral("原窗口"), QStringLiteral("新窗口")});
    cbLinkType->setCurrentIndex(v.linkType);
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
    v.removeLink = chkHref->isChecked();
    v.saveWords = opnSaveWords->isChecked();
    v.extSpace = chkExtSpace->isChecked();
    v.autoSign = chkAutoSign->isChecked();
    v.signAtStart = chkStart->isChecked();
    v.signAtEnd = chkEnd->isChecked();
    v.sign = txtSign->text();

    v.keyword = chkKeyword->isChecked();
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
