#include "shell/check_commands.h"

#include "checks/loose_sensitive.h"
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "checks/word_count.h"
#include "shell/command_context.h"
#include "shell/named_control.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorvane {

CheckCommands::CheckCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    QWidget *frm1 = context.areaWidget(CommandContext::Area::FormatPanel);
    cmdChkWrong = named(new QPushButton(u"文字检错"_s, frm1), u"cmdChkWrong"_s);
    cmdBan = named(new QPushButton(u"检测敏感字词"_s, frm1), u"cmdBan"_s);
    QBoxLayout *panel = context.area(CommandContext::Area::FormatPanel);
    panel->addWidget(cmdChkWrong);
    panel->addWidget(cmdBan);
    connect(cmdChkWrong, &QPushButton::clicked, this, &CheckCommands::cmdChkWrong_clicked);
    connect(cmdBan, &QPushButton::clicked, this, &CheckCommands::cmdBan_clicked);

    // The count sits at the right end of the row under the editor: the
    // caption, the result (sized to its text) and the button.
    QWidget *barWidget = context.areaWidget(CommandContext::Area::EditorBar);
    Label14 = named(new QLabel(u"字数:"_s, barWidget), u"Label14"_s);
    lblWordNums = named(new QLabel(u"0个"_s, barWidget), u"lblWordNums"_s);
    imgChkWordNums = named(new QPushButton(u"统计字数"_s, barWidget), u"imgChkWordNums"_s);
    QBoxLayout *bar = context.area(CommandContext::Area::EditorBar);
    bar->addStretch(1);
    bar->addWidget(Label14);
    bar->addSpacing(6);
    bar->addWidget(lblWordNums);
    bar->addSpacing(6);
    bar->addWidget(imgChkWordNums);
    connect(imgChkWordNums, &QPushButton::clicked, this, &CheckCommands::imgChkWordNums_clicked);
    context.addShortcut(Qt::CTRL | Qt::Key_T, [this] { imgChkWordNums_clicked(); });
}

void CheckCommands::loadWithPanelDisabled(const std::function<void()> &load)
{
    QWidget *panel = m_context.areaWidget(CommandContext::Area::FormatPanel);
    if (panel)
        panel->setEnabled(false);
    load();
    if (panel)
        panel->setEnabled(true);
}

void CheckCommands::cmdChkWrong_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    WordLibraries &libraries = m_context.libraries();
    if (libraries.isLoaded(WordLibraries::Library::Typos)) {
        m_context.ShowMsg(u"正在执行文字检错,请稍候..."_s, ModeName::Format);
    } else {
        m_context.ShowMsg(u"首次使用,正在载入错别字库..."_s, ModeName::Format);
        loadWithPanelDisabled([&libraries] { libraries.typos(); });
    }
    const TypoIndex &library = libraries.typos();
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    int count = 0;
    QString result = markTypos(*html, library, TypoMark::Mark, count);
    if (count > 0) {
        m_context.ShowMsg(u"发现错字"_s + QString::number(count) + u"处错字..."_s, ModeName::Format);
        if (m_context.askOkCancel(u"发现错别字："_s,
                                  u"共发现"_s + QString::number(count) + u"处错别字，是否替换？"_s)) {
            m_context.ShowMsg(u"正在替换错字..."_s, ModeName::Format);
            result = markTypos(*html, library, TypoMark::Replace, count);
        }
    }
    m_context.ShowMsg(u"文字检错结束,共有"_s + QString::number(count) + u"处错字."_s, ModeName::Format);
    m_context.setEditorHtml(result);
}

void CheckCommands::cmdBan_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    const bool loose = m_context.readSettings().checks.sensitiveLoose;
    WordLibraries &libraries = m_context.libraries();
    const auto load = [&libraries, loose] { loose ? void(libraries.looseSensitive()) : void(libraries.sensitive()); };
    const bool loaded =
        libraries.isLoaded(loose ? WordLibraries::Library::SensitiveAllowed : WordLibraries::Library::Sensitive);
    if (loaded) {
        m_context.ShowMsg(u"正在监测敏感字词,请稍候..."_s, ModeName::Format);
    } else {
        m_context.ShowMsg(u"首次使用,正在载入敏感字库..."_s, ModeName::Format);
        loadWithPanelDisabled(load);
    }
    if (loose && !libraries.traditionalCharsError().isEmpty())
        qWarning("traditional forms are not matched: %s", qUtf8Printable(libraries.traditionalCharsError()));
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    const SensitiveWordsResult result = loose ? checkSensitiveWordsLoose(*html, libraries.looseSensitive())
                                              : checkSensitiveWords(*html, libraries.sensitive());
    if (result.count == 0) {
        m_context.ShowMsg(u"没有发现敏感字词..."_s, ModeName::Format);
        return;
    }
    const QString count = QString::number(result.count);
    m_context.ShowMsg(u"发现敏感字词"_s + count + u"处..."_s, ModeName::Format);
    if (m_context.askOkCancel(u"发现敏感字词："_s, u"共发现"_s + count + u"处敏感字词，是否高亮显示？"_s))
        m_context.setEditorHtml(result.marked);
}

void CheckCommands::imgChkWordNums_clicked()
{
    if (!m_context.passes(CommandKind::WordCount))
        return;
    if (m_context.textMode()) {
        lblWordNums->setText(textBoxCaption(countTextBox(m_context.textBoxText())));
        return;
    }
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    lblWordNums->setText(wordCountCaption(countWords(*html)));
}

} // namespace zorvane
