#include "shell/format_commands.h"

#include "format/format_html.h"
#include "shell/command_context.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

#include <QBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorvane {

FormatCommands::FormatCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    cmdOneKey = new QPushButton(u"一键格式化"_s, context.areaWidget(CommandContext::Area::FormatPanel));
    cmdOneKey->setObjectName(u"cmdOneKey"_s);
    cmdOneKey->setToolTip(u"Ctrl+G"_s);
    context.area(CommandContext::Area::FormatPanel)->addWidget(cmdOneKey);

    connect(cmdOneKey, &QPushButton::clicked, this, &FormatCommands::cmdOneKey_clicked);
    context.addShortcut(Qt::CTRL | Qt::Key_G, [this] {
        if (m_context.mode() == ModeName::Format)
            cmdOneKey_clicked();
    });
}

void FormatCommands::cmdOneKey_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    const SettingsSnapshot settings = m_context.readSettings();
    m_context.ShowMsg(u"正在执行一键格式化..."_s, ModeName::Format);
    // The page keeps the article of a whole pasted page first, so that what
    // follows reads it like any other article.
    if (settings.format.articleOnly && !m_context.keepArticleOnly())
        return;
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    if (html->isEmpty()) {
        m_context.ShowMsg(u"编辑器内无内容..."_s, m_context.mode());
        return;
    }
    // The typo library loads silently, and only for a run that checks typos.
    constexpr FormatMode mode = FormatMode::OneKeyFormat;
    const TypoIndex &typos = m_context.libraries().typosFor(mode, settings.format);
    if (m_context.setEditorHtml(FormatHtml(*html, mode, settings.format, settings.checks, typos)))
        m_context.ShowMsg(u"一键格式化完毕..."_s, ModeName::Format);
}

} // namespace zorvane
