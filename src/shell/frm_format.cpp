#include "shell/frm_format.h"

#include "editor/editor_session.h"
#include "editor/start_content.h"
#include "editor/web_editor_host.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "shell/command_context.h"
#include "shell/editor_commands.h"
#include "shell/editor_stack.h"
#include "shell/named_control.h"
#include "shell/notice_bar.h"
#include "shell/user_area.h"
#include "snapshot/word_libraries.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

constexpr int PanelWidth = 240;

} // namespace

frmFormat::frmFormat(Options options, QWidget *parent) : QWidget(parent)
{
    setObjectName(u"frmFormat"_s);
    m_libraries = options.libraries;
    if (!m_libraries) {
        m_ownLibraries = std::make_unique<WordLibraries>();
        m_libraries = m_ownLibraries.get();
    }
    buildWindow();
    m_commands->setService(options.service);
    m_groups = installFeatureCommands(*m_commands);
    // A mode whose panel holds nothing has nothing to offer.
    cmdSEO->setVisible(m_commands->area(CommandContext::Area::SeoPanel)->count() > 0);

    // Load, in order. The steps that need the editor page finish once it answers.
    lblTitle->setText(u"Zorvane——Quillboxv1.0（内测版）"_s);
    setWindowTitle(lblTitle->text());
    m_editorStack->loadEditorPage();
    m_groups.noticeBar->fetchAdvertisement();
    m_groups.noticeBar->setNotices(options.notices);
    m_groups.userArea->setUser(options.user);
    lblVision->setText(versionCaption(QCoreApplication::applicationVersion(),
                                      QString::number(configInt(Cfg::vision::ErrorWordNums)),
                                      QString::number(configInt(Cfg::vision::SameWordNums))));
    startContent(options);
    // The panel shows at once; the editor content follows when the page answers.
    showPanels();
}

frmFormat::~frmFormat() = default;

void frmFormat::startContent(const Options &options)
{
    std::optional<QString> handOffText = takeHandOffText(AppFolder::current());
    m_session->setMode(startMode(configText(Cfg::Default::Form), options.startedWithText || handOffText.has_value(),
                                 cmdSEO->isVisibleTo(this)));
    m_start->start(std::move(handOffText), defaultTextFetch(options.service, m_start));
}

void frmFormat::buildWindow()
{
    resize(1100, 760);
    buildEditor();
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->addLayout(buildTitleRow());
    root->addLayout(buildEditorAndPanels(), 1);
    root->addLayout(buildBottomRow());
}

void frmFormat::buildEditor()
{
    m_editorStack = new EditorStack(this);
    web = m_editorStack->web;
    webPre = m_editorStack->webPre;
    webText = m_editorStack->webText;

    m_host = m_editorStack->host();
    m_session = std::make_unique<EditorSession>(*m_host, *this);
    m_commands = new CommandContext(*m_session, this, *m_libraries);
    m_start = new StartContent(*m_session, this);
    connect(m_host, &WebEditorHost::ready, this, &frmFormat::editorReady);
    connect(m_host, &WebEditorHost::ready, m_start, &StartContent::pageReady);
    // Queued: the host says so while the command that asked is still running.
    connect(m_host, &WebEditorHost::idle, m_start, &StartContent::hostIdle, Qt::QueuedConnection);
    connect(m_host, &WebEditorHost::loadFailed, this, &frmFormat::web_loadFailed);
    connect(m_host, &WebEditorHost::pageRestarted, this, &frmFormat::web_pageRestarted);
    connect(m_start, &StartContent::placed, this, &frmFormat::start_placed);
}

QLayout *frmFormat::buildTitleRow()
{
    // Caption, mode buttons, user area, links.
    auto *top = new QHBoxLayout;
    lblTitle = named(new QLabel(this), u"lblTitle"_s);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    top->addWidget(lblTitle);
    top->addSpacing(16);
    cmdFormat = named(new QPushButton(u"文章格式化"_s, this), u"cmdFormat"_s);
    cmdYC = named(new QPushButton(u"伪原创"_s, this), u"cmdYC"_s);
    cmdSEO = named(new QPushButton(u"站点统计"_s, this), u"cmdSEO"_s);
    for (QPushButton *button : {cmdFormat, cmdYC, cmdSEO})
        top->addWidget(button);
    connect(cmdFormat, &QPushButton::clicked, this, &frmFormat::cmdFormat_clicked);
    connect(cmdYC, &QPushButton::clicked, this, &frmFormat::cmdYC_clicked);
    connect(cmdSEO, &QPushButton::clicked, this, &frmFormat::cmdSEO_clicked);
    top->addStretch(1);
    auto *user = new QHBoxLayout;
    top->addLayout(user);
    top->addSpacing(12);
    auto *links = new QHBoxLayout;
    top->addLayout(links);
    m_commands->setArea(CommandContext::Area::User, user);
    m_commands->setArea(CommandContext::Area::Links, links);
    return top;
}

QLayout *frmFormat::buildEditorAndPanels()
{
    // The editor (with the preview and the text box over it) and its bar,
    // beside the command panel of the current mode.
    auto *middle = new QHBoxLayout;
    auto *editorColumn = new QVBoxLayout;
    editorColumn->addWidget(m_editorStack, 1);
    auto *editorBar = new QHBoxLayout;
    editorColumn->addLayout(editorBar);
    middle->addLayout(editorColumn, 1);
    m_commands->setArea(CommandContext::Area::EditorBar, editorBar);

    auto *panels = new QVBoxLayout;
    auto makePanel = [this, panels](const QString &name, CommandContext::Area area, QLabel **action,
                                    const QString &actionName) {
        auto *panel = named(new QWidget(this), name);
        panel->setFixedWidth(PanelWidth);
        auto *layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        if (action) {
            // The status label of the mode (ShowMsg).
            *action = named(new QLabel(panel), actionName);
            (*action)->setWordWrap(true);
            (*action)->setMinimumHeight((*action)->fontMetrics().height() * 2);
            layout->addWidget(*action);
        }
        panels->addWidget(panel);
        m_commands->setArea(area, layout);
        return panel;
    };
    frm1 = makePanel(u"frm1"_s, CommandContext::Area::FormatPanel, &lblFormatAction, u"lblFormatAction"_s);
    frm2 = makePanel(u"frm2"_s, CommandContext::Area::YcPanel, &lblYcAction, u"lblYcAction"_s);
    frm3 = makePanel(u"frm3"_s, CommandContext::Area::SeoPanel, nullptr, QString());
    panels->addStretch(1);
    middle->addLayout(panels);
    return middle;
}

QLayout *frmFormat::buildBottomRow()
{
    // Version, then the notices and the advertisement.
    auto *bottom = new QHBoxLayout;
    lblVision = named(new QLabel(this), u"lblVision"_s);
    bottom->addWidget(lblVision);
    bottom->addSpacing(16);
    auto *notices = new QHBoxLayout;
    bottom->addLayout(notices, 1);
    m_commands->setArea(CommandContext::Area::Notices, notices);
    return bottom;
}

void frmFormat::web_loadFailed()
{
    showMessageBox(u"编辑器页面无法打开，请重新安装。"_s);
}

void frmFormat::web_pageRestarted()
{
    showMessageBox(u"编辑器页面意外关闭，已重新打开，请重新放入文章。"_s);
}

void frmFormat::start_placed()
{
    showPanels();
    Q_EMIT m_commands->modeChanged(m_session->mode());
    Q_EMIT loaded();
}

bool frmFormat::isLoaded() const
{
    return m_start->isPlaced();
}

QString frmFormat::mode() const
{
    return m_session->mode();
}

void frmFormat::setMode(const QString &mode)
{
    m_session->setMode(mode);
    changeFrm();
}

void frmFormat::showPanels()
{
    const QString mode = m_session->mode();
    frm1->setVisible(mode == ModeName::Format);
    frm2->setVisible(mode == ModeName::Yc);
    frm3->setVisible(mode == ModeName::Seo);
    const std::initializer_list<std::pair<QPushButton *, QString>> buttons = {
        {cmdFormat, ModeName::Format}, {cmdYC, ModeName::Yc}, {cmdSEO, ModeName::Seo}};
    for (const auto &[button, buttonMode] : buttons) {
        const bool current = buttonMode == mode;
        // The current mode's button cannot be pressed again; it stands out
        // instead of looking switched off.
        button->setEnabled(!current);
        button->setStyleSheet(current ? u"QPushButton { padding: 5px 14px; font-weight: bold; color: white;"
                                        " background-color: #1a5fb4; border: 1px solid #1a5fb4; border-radius: 3px; }"_s
                                      : u"QPushButton { padding: 5px 14px; background-color: #e3eeff;"
                                        " border: 1px solid #a8c0e0; border-radius: 3px; }"_s);
    }
}

void frmFormat::changeFrm()
{
    showPanels();
    m_start->modeChanged(m_session->mode());
    Q_EMIT m_commands->modeChanged(m_session->mode());
}

void frmFormat::receiveHandOff(const QString &html)
{
    m_session->setMode(ModeName::Yc);
    showPanels();
    m_start->handOver(html);
    Q_EMIT m_commands->modeChanged(ModeName::Yc);
}

void frmFormat::cmdFormat_clicked()
{
    setMode(ModeName::Format);
}

void frmFormat::cmdYC_clicked()
{
    setMode(ModeName::Yc);
}

void frmFormat::cmdSEO_clicked()
{
    setMode(ModeName::Seo);
}

void frmFormat::closeEvent(QCloseEvent *event)
{
    if (m_hideOnClose) {
        hide();
        event->ignore();
        return;
    }
    event->accept();
}

void frmFormat::showMessageBox(const QString &text)
{
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    QMessageBox::information(this, QCoreApplication::applicationName(), text);
}

bool frmFormat::askOkCancel(const QString &title, const QString &text)
{
    if (m_questionSink)
        return m_questionSink(title, text);
    return QMessageBox::question(this, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

void frmFormat::setFormatActionText(const QString &text)
{
    lblFormatAction->setText(text);
}

void frmFormat::setYcActionText(const QString &text)
{
    lblYcAction->setText(text);
}

QString frmFormat::chooseOpenFile(const FileChoice &choice)
{
    if (m_fileChooser)
        return m_fileChooser(choice, false);
    return QFileDialog::getOpenFileName(this, choice.title, choice.folder, choice.filter);
}

QString frmFormat::chooseSaveFile(const FileChoice &choice)
{
    if (m_fileChooser)
        return m_fileChooser(choice, true);
    return QFileDialog::getSaveFileName(this, choice.title, choice.folder + u'/' + choice.fileName, choice.filter);
}

void frmFormat::showPreview(const QString &html)
{
    m_editorStack->showPreview(html);
}

void frmFormat::hidePreview()
{
    m_editorStack->hidePreview();
}

void frmFormat::setPreviewButton(const QString &caption, const QColor &colour)
{
    m_groups.editor->setPreviewButton(caption, colour);
}

void frmFormat::showTextBox(const QString &text)
{
    m_editorStack->showTextBox(text);
}

void frmFormat::hideTextBox()
{
    m_editorStack->hideTextBox();
}

QString frmFormat::textBoxText() const
{
    return m_editorStack->textBoxText();
}

void frmFormat::setTextBoxText(const QString &text)
{
    m_editorStack->setTextBoxText(text);
}

void frmFormat::setTextModeButton(const QString &caption, const QColor &colour)
{
    m_groups.editor->setTextModeButton(caption, colour);
}

} // namespace zorvane
