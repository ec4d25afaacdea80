#include "shell/format_commands.h"

#include "format/format_html.h"
#include "settings/config.h"
#include "shell/command_context.h"
#include "text/text_utils.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

FormatCommands::FormatCommands(CommandContext &context, QObject *parent) : QObject(parent), m_context(context)
{
    QBoxLayout *panel = context.area(CommandContext::Area::FormatPanel);
    cmdOneKey = new QPushButton(u"一键格式化"_s);
    cmdOneKey->setObjectName(u"cmdOneKey"_s);
    cmdOneKey->setToolTip(u"Ctrl+G"_s);
    chkHeadSpace = new QCheckBox(u"段首空格"_s);
    chkHeadSpace->setObjectName(u"chkHeadSpace"_s);
    chkHref = new QCheckBox(u"去除链接"_s);
    chkHref->setObjectName(u"chkHref"_s);
    if (panel) {
        panel->addWidget(cmdOneKey);
        panel->addWidget(chkHeadSpace);
        panel->addWidget(chkHref);
    }
    // The boxes show the settings as they are at start-up; a click stores
    // the new value at once.
    chkHeadSpace->setChecked(toInt(getConfig(u"HeadSpace"_s, u"Format"_s)) == 1);
    chkHref->setChecked(toInt(getConfig(u"RemoveLink"_s, u"Format"_s)) == 1);

    connect(cmdOneKey, &QPushButton::clicked, this, &FormatCommands::cmdOneKey_clicked);
    connect(chkHeadSpace, &QCheckBox::clicked, this, &FormatCommands::chkHeadSpace_clicked);
    connect(chkHref, &QCheckBox::clicked, this, &FormatCommands::chkHref_clicked);
    context.addShortcut(Qt::CTRL | Qt::Key_G, [this] {
        if (m_context.mode() == ModeName::Format)
            cmdOneKey_clicked();
    });
}

void FormatCommands::cmdOneKey_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    m_context.ShowMsg(u"正在执行一键格式化..."_s, ModeName::Format);
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    if (html->isEmpty()) {
        m_context.ShowMsg(u"编辑器内无内容..."_s, m_context.mode());
        return;
    }
    if (m_context.setEditorHtml(FormatHtml(*html, FormatMode::OneKeyFormat)))
        m_context.ShowMsg(u"一键格式化完毕..."_s, ModeName::Format);
}

void FormatCommands::chkHeadSpace_clicked(bool checked)
{
    setConfig(u"HeadSpace"_s, checked ? u"1"_s : u"0"_s, u"Format"_s);
}

void FormatCommands::chkHref_clicked(bool checked)
{
    setConfig(u"RemoveLink"_s, checked ? u"1"_s : u"0"_s, u"Format"_s);
}
