#include "shell/settings_commands.h"

#include "settings/config_keys.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"

#include <QBoxLayout>
#include <QCheckBox>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// A box that does not show what the file holds would mislead the next
// formatting run, so a failed write puts the box back and says so.
void store(CommandContext &context, QCheckBox *box, const ConfigKey &key, bool checked)
{
    if (setConfigFlag(key, checked))
        return;
    box->setChecked(configFlag(key));
    context.showMessageBox(frmSetting::saveFailedMessage());
}

} // namespace

SettingsCommands::SettingsCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    QWidget *frm1 = context.areaWidget(CommandContext::Area::FormatPanel);
    chkHeadSpace = new QCheckBox(u"段首空格"_s, frm1);
    chkHeadSpace->setObjectName(u"chkHeadSpace"_s);
    chkHref = new QCheckBox(u"去除链接"_s, frm1);
    chkHref->setObjectName(u"chkHref"_s);
    chkArticle = new QCheckBox(u"只保留正文"_s, frm1);
    chkArticle->setObjectName(u"chkArticle"_s);
    QBoxLayout *panel = context.area(CommandContext::Area::FormatPanel);
    panel->addWidget(chkHeadSpace);
    panel->addWidget(chkHref);
    panel->addWidget(chkArticle);
    connect(chkHeadSpace, &QCheckBox::clicked, this, &SettingsCommands::chkHeadSpace_clicked);
    connect(chkHref, &QCheckBox::clicked, this, &SettingsCommands::chkHref_clicked);
    connect(chkArticle, &QCheckBox::clicked, this, &SettingsCommands::chkArticle_clicked);

    lblSetting = new ClickableLabel(u"设置"_s, context.areaWidget(CommandContext::Area::Links));
    lblSetting->setObjectName(u"lblSetting"_s);
    lblSetting->showAsLink();
    context.area(CommandContext::Area::Links)->addWidget(lblSetting);
    connect(lblSetting, &ClickableLabel::clicked, this, &SettingsCommands::lblSetting_clicked);

    readOptions();
}

void SettingsCommands::chkHeadSpace_clicked(bool checked)
{
    store(m_context, chkHeadSpace, Cfg::Format::HeadSpace, checked);
}

void SettingsCommands::chkHref_clicked(bool checked)
{
    store(m_context, chkHref, Cfg::Format::RemoveLink, checked);
}

void SettingsCommands::chkArticle_clicked(bool checked)
{
    store(m_context, chkArticle, Cfg::Format::ArticleOnly, checked);
}

void SettingsCommands::lblSetting_clicked()
{
    frmSetting *dialog = frmSetting::showFor(m_context.window());
    connect(dialog, &frmSetting::saved, this, &SettingsCommands::readOptions, Qt::UniqueConnection);
}

void SettingsCommands::readOptions()
{
    chkHeadSpace->setChecked(configFlag(Cfg::Format::HeadSpace));
    chkHref->setChecked(configFlag(Cfg::Format::RemoveLink));
    chkArticle->setChecked(configFlag(Cfg::Format::ArticleOnly));
}

} // namespace zorvane
