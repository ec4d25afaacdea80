#include "shell/editor_commands.h"

#include "editor/editor_session.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/named_control.h"

#include <QBoxLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

QString colourStyle(const QColor &colour)
{
    return u"background-color: %1; padding: 3px 8px;"_s.arg(colour.name());
}

// The copy and paste buttons of a panel, in one row under its status label.
void addCopyPaste(CommandContext &context, CommandContext::Area area, QPushButton *&copy, QPushButton *&paste,
                  const QString &suffix)
{
    QWidget *panel = context.areaWidget(area);
    copy = named(new QPushButton(u"拷贝出去"_s, panel), u"cmdCopy"_s + suffix);
    paste = named(new QPushButton(u"粘贴进来"_s, panel), u"cmdPaste"_s + suffix);
    auto *row = new QHBoxLayout;
    row->addWidget(paste);
    row->addWidget(copy);
    context.area(area)->addLayout(row);
}

} // namespace

EditorCommands::EditorCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    QWidget *barWidget = context.areaWidget(CommandContext::Area::EditorBar);
    cmdLoad = named(new QPushButton(u"读取文件"_s, barWidget), u"cmdLoad"_s);
    cmdSave = named(new QPushButton(u"保存文件"_s, barWidget), u"cmdSave"_s);
    cmdText = named(new QPushButton(EditorText::TextModeOff, barWidget), u"cmdText"_s);
    lblPreView = named(new ClickableLabel(EditorText::PreviewOff, barWidget), u"lblPreView"_s);
    cmdClear = named(new QPushButton(u"清空"_s, barWidget), u"cmdClear"_s);
    cmdClear->setToolTip(u"清空编辑器 (Ctrl+D)"_s);
    cmdLoad->setToolTip(u"Alt+O"_s);
    cmdSave->setToolTip(u"Alt+S"_s);
    lblPreView->setCursor(Qt::PointingHandCursor);
    setPreviewButton(EditorText::PreviewOff, IdleButtonColour);
    setTextModeButton(EditorText::TextModeOff, IdleButtonColour);
    QBoxLayout *bar = context.area(CommandContext::Area::EditorBar);
    for (QWidget *control : std::initializer_list<QWidget *>{cmdLoad, cmdSave, cmdText, lblPreView, cmdClear})
        bar->addWidget(control);
    bar->addStretch(1);
    connect(cmdLoad, &QPushButton::clicked, this, &EditorCommands::cmdLoad_clicked);
    connect(cmdSave, &QPushButton::clicked, this, &EditorCommands::cmdSave_clicked);
    connect(cmdText, &QPushButton::clicked, this, &EditorCommands::cmdText_clicked);
    connect(lblPreView, &ClickableLabel::clicked, this, &EditorCommands::lblPreView_clicked);
    connect(cmdClear, &QPushButton::clicked, this, &EditorCommands::cmdClear_clicked);

    addCopyPaste(context, CommandContext::Area::FormatPanel, cmdCopy1, cmdPaste1, u"1"_s);
    addCopyPaste(context, CommandContext::Area::YcPanel, cmdCopy2, cmdPaste2, u"2"_s);
    connect(cmdCopy1, &QPushButton::clicked, this, &EditorCommands::cmdCopy1_clicked);
    connect(cmdPaste1, &QPushButton::clicked, this, &EditorCommands::cmdPaste1_clicked);
    connect(cmdCopy2, &QPushButton::clicked, this, &EditorCommands::cmdCopy2_clicked);
    connect(cmdPaste2, &QPushButton::clicked, this, &EditorCommands::cmdPaste2_clicked);

    context.addShortcut(Qt::CTRL | Qt::Key_D, [this] { cmdClear_clicked(); });
    context.addShortcut(Qt::ALT | Qt::Key_O, [this] { cmdLoad_clicked(); });
    context.addShortcut(Qt::ALT | Qt::Key_S, [this] { cmdSave_clicked(); });
}

void EditorCommands::setPreviewButton(const QString &caption, const QColor &colour)
{
    lblPreView->setText(caption);
    lblPreView->setStyleSheet(colourStyle(colour));
}

void EditorCommands::setTextModeButton(const QString &caption, const QColor &colour)
{
    cmdText->setText(caption);
    cmdText->setStyleSheet(colourStyle(colour));
}

void EditorCommands::cmdLoad_clicked()
{
    m_context.loadFile();
}

void EditorCommands::cmdSave_clicked()
{
    m_context.saveFile();
}

void EditorCommands::cmdText_clicked()
{
    m_context.toggleTextMode();
}

void EditorCommands::lblPreView_clicked()
{
    m_context.togglePreview();
}

void EditorCommands::cmdClear_clicked()
{
    m_context.clearEditor();
}

void EditorCommands::cmdCopy1_clicked()
{
    m_context.copyFromEditor();
}

void EditorCommands::cmdPaste1_clicked()
{
    m_context.pasteIntoEditor();
}

void EditorCommands::cmdCopy2_clicked()
{
    m_context.copyFromEditor();
}

void EditorCommands::cmdPaste2_clicked()
{
    m_context.pasteIntoEditor();
}

} // namespace zorvane
