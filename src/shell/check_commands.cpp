#include "shell/check_commands.h"

#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "checks/word_count.h"
#include "settings/word_library.h"
#include "shell/command_context.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QPushButton *makeButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

} // namespace

CheckCommands::CheckCommands(CommandContext &context) : QObject(context.window()), m_context(context)
{
    m_ask = [this](const QString &title, const QString &text) {
        return QMessageBox::question(m_context.window(), title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok)
               == QMessageBox::Ok;
    };

    cmdChkWrong = makeButton(u"cmdChkWrong"_s, u"文字检错"_s);
    cmdBan = makeButton(u"cmdBan"_s, u"检测敏感字词"_s);
    if (QBoxLayout *panel = context.area(CommandContext::Area::FormatPanel)) {
        panel->addWidget(cmdChkWrong);
        panel->addWidget(cmdBan);
    }
    connect(cmdChkWrong, &QPushButton::clicked, this, &CheckCommands::cmdChkWrong_clicked);
    connect(cmdBan, &QPushButton::clicked, this, &CheckCommands::cmdBan_clicked);

    // The count sits at the right end of the row under the editor: the
    // caption, the result (sized to its text) and the button.
    Label14 = new QLabel(u"字数:"_s);
    Label14->setObjectName(u"Label14"_s);
    lblWordNums = new QLabel(u"0个"_s);
    lblWordNums->setObjectName(u"lblWordNums"_s);
    imgChkWordNums = makeButton(u"imgChkWordNums"_s, u"统计字数"_s);
    if (QBoxLayout *bar = context.area(CommandContext::Area::EditorBar)) {
        bar->addStretch(1);
        bar->addWidget(Label14);
        bar->addSpacing(6);
        bar->addWidget(lblWordNums);
        bar->addSpacing(6);
        bar->addWidget(imgChkWordNums);
    }
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
    WordLibrary &library = typoLibrary();
    if (library.isLoaded()) {
        m_context.ShowMsg(u"正在执行文字检错,请稍候..."_s, ModeName::Format);
    } else {
        m_context.ShowMsg(u"首次使用,正在载入错别字库..."_s, ModeName::Format);
        loadWithPanelDisabled([&library] { library.load(); });
    }
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    int count = 0;
    QString result = markTypos(*html, library.text(), TypoMark::Mark, count);
    if (count > 0) {
        m_context.ShowMsg(u"发现错字"_s + QString::number(count) + u"处错字..."_s, ModeName::Format);
        if (m_ask(u"发现错别字："_s, u"共发现"_s + QString::number(count) + u"处错别字，是否替换？"_s)) {
            m_context.ShowMsg(u"正在替换错字..."_s, ModeName::Format);
            result = markTypos(*html, library.text(), TypoMark::Replace, count);
        }
    }
    m_context.ShowMsg(u"文字检错结束,共有"_s + QString::number(count) + u"处错字."_s, ModeName::Format);
    m_context.setEditorHtml(result);
}

void CheckCommands::cmdBan_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    WordLibrary &library = sensitiveLibrary();
    if (library.isLoaded()) {
        m_context.ShowMsg(u"正在监测敏感字词,请稍候..."_s, ModeName::Format);
    } else {
        m_context.ShowMsg(u"首次使用,正在载入敏感字库..."_s, ModeName::Format);
        loadWithPanelDisabled([&library] { library.load(); });
    }
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    const SensitiveWordsResult result = checkSensitiveWords(*html, library.text());
    if (result.count == 0) {
        m_context.ShowMsg(u"没有发现敏感字词..."_s, ModeName::Format);
        return;
    }
    const QString count = QString::number(result.count);
    m_context.ShowMsg(u"发现敏感字词"_s + count + u"处..."_s, ModeName::Format);
    if (m_ask(u"发现敏感字词："_s, u"共发现"_s + count + u"处敏感字词，是否高亮显示？"_s))
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
