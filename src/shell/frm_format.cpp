#include "shell/frm_format.h"

#include "editor/editor_page.h"
#include "editor/editor_scheme.h"
#include "editor/editor_session.h"
#include "editor/web_editor_host.h"
#include "net/servers.h"
#include "net/service_client.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/feature_commands.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {

constexpr int NoticeInterval = 5000;
constexpr int PanelWidth = 240;

QString colourStyle(const QColor &colour)
{
    return u"background-color: %1; padding: 3px 8px;"_s.arg(colour.name());
}

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

frmFormat::frmFormat(Options options, QWidget *parent) : QWidget(parent), m_options(std::move(options))
{
    setObjectName(u"frmFormat"_s);
    buildWindow();

    // Load, in order. The steps that need the editor page finish once it answers.
    lblTitle->setText(u"Zorvane——Quillboxv1.0（内测版）"_s);
    setWindowTitle(lblTitle->text());
    installEditorScheme(m_page->profile(), AppFolder::current().path(u"\\lib"));
    m_host->load(editorPageUrl());

    fetchAdvertisement();
    buildNotices(m_options.notices);
    hidePreview();
    fillUserArea(m_options.user);
    lblVision->setText(versionCaption(QCoreApplication::applicationVersion(),
                                      QString::number(configInt(Cfg::vision::ErrorWordNums)),
                                      QString::number(configInt(Cfg::vision::SameWordNums))));

    QString mode = startMode(configText(Cfg::Default::Form), m_options.startedWithText);
    if (mode == ModeName::Seo && !cmdSEO->isVisibleTo(this))
        mode = ModeName::Format;
    m_handOffText = takeHandOffText(AppFolder::current());
    if (m_handOffText)
        mode = ModeName::Yc;
    else
        fetchDefaultTexts();
    m_session->setMode(mode);
    // The panel shows at once; the editor content follows when the page answers.
    showPanels();
}

frmFormat::~frmFormat()
{
    // The pages go before the views and the profile they belong to.
    web->setPage(nullptr);
    webPre->setPage(nullptr);
    delete m_host;
    m_host = nullptr;
    delete m_page;
    delete m_previewPage;
}

void frmFormat::buildWindow()
{
    resize(1100, 760);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);

    // Title row: caption, mode buttons, user area, links.
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

    imgFace = named(new ClickableLabel(this), u"imgFace"_s);
    imgFace->setFixedSize(40, 40);
    imgFace->setScaledContents(true);
    imgFace->setCursor(Qt::PointingHandCursor);
    connect(imgFace, &ClickableLabel::clicked, this, &frmFormat::imgFace_clicked);
    top->addWidget(imgFace);
    auto *user = new QGridLayout;
    lblUsername = named(new QLabel(this), u"lblUsername"_s);
    lblLevel = named(new QLabel(this), u"lblLevel"_s);
    lblPoint = named(new QLabel(this), u"lblPoint"_s);
    lblKestCoin = named(new QLabel(this), u"lblKestCoin"_s);
    user->addWidget(lblUsername, 0, 0);
    user->addWidget(lblLevel, 0, 1);
    user->addWidget(lblPoint, 1, 0);
    user->addWidget(lblKestCoin, 1, 1);
    top->addLayout(user);
    top->addSpacing(12);

    auto *links = new QHBoxLayout;
    lblAbout = named(new ClickableLabel(u"关于"_s, this), u"lblAbout"_s);
    lblBbs = named(new ClickableLabel(u"论坛"_s, this), u"lblBbs"_s);
    lblReg = named(new ClickableLabel(u"注册"_s, this), u"lblReg"_s);
    for (ClickableLabel *label : {lblAbout, lblBbs, lblReg}) {
        label->setCursor(Qt::PointingHandCursor);
        label->setStyleSheet(u"color: #1a5fb4; text-decoration: underline;"_s);
        links->addWidget(label);
    }
    connect(lblAbout, &ClickableLabel::clicked, this, &frmFormat::lblAbout_clicked);
    connect(lblBbs, &ClickableLabel::clicked, this, &frmFormat::lblBbs_clicked);
    connect(lblReg, &ClickableLabel::clicked, this, &frmFormat::lblReg_clicked);
    top->addLayout(links);
    root->addLayout(top);

    // Middle: the editor (with the preview and the text box over it) and
    // the command panel of the current mode.
    auto *middle = new QHBoxLayout;
    auto *editorColumn = new QVBoxLayout;
    m_editorStack = new QStackedWidget(this);
    web = named(new QWebEngineView(this), u"web"_s);
    webPre = named(new QWebEngineView(this), u"webPre"_s);
    webText = named(new QPlainTextEdit(this), u"webText"_s);
    m_page = new EditorPage(this);
    m_previewPage = new EditorPage(this);
    m_previewPage->setScriptsEnabled(false);
    web->setPage(m_page);
    webPre->setPage(m_previewPage);
    // Only editing actions: the browser's own menu would offer to reload or
    // leave the page.
    web->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(web, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(web);
        for (const QWebEnginePage::WebAction action :
             {QWebEnginePage::Undo, QWebEnginePage::Redo, QWebEnginePage::Cut, QWebEnginePage::Copy,
              QWebEnginePage::Paste, QWebEnginePage::SelectAll})
            menu.addAction(m_page->action(action));
        menu.exec(web->mapToGlobal(at));
    });
    webPre->setContextMenuPolicy(Qt::NoContextMenu);
    m_editorStack->addWidget(web);
    m_editorStack->addWidget(webPre);
    m_editorStack->addWidget(webText);
    editorColumn->addWidget(m_editorStack, 1);
    auto *editorBar = new QHBoxLayout;
    editorColumn->addLayout(editorBar);
    middle->addLayout(editorColumn, 1);

    m_host = new WebEditorHost(m_page);
    connect(m_host, &WebEditorHost::ready, this, &frmFormat::web_ready);
    connect(m_host, &WebEditorHost::loadFailed, this, &frmFormat::web_loadFailed);
    connect(m_host, &WebEditorHost::pageRestarted, this, &frmFormat::web_pageRestarted);
    m_session = std::make_unique<EditorSession>(*m_host, *this);
    m_commands = new CommandContext(*m_session, this);

    auto *panels = new QVBoxLayout;
    auto makePanel = [this, panels](const QString &name, CommandContext::Area area) {
        auto *panel = named(new QWidget(this), name);
        panel->setFixedWidth(PanelWidth);
        auto *layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        panels->addWidget(panel);
        m_commands->setArea(area, layout);
        return panel;
    };
    frm1 = makePanel(u"frm1"_s, CommandContext::Area::FormatPanel);
    frm2 = makePanel(u"frm2"_s, CommandContext::Area::YcPanel);
    frm3 = makePanel(u"frm3"_s, CommandContext::Area::SeoPanel);
    panels->addStretch(1);
    middle->addLayout(panels);
    root->addLayout(middle, 1);
    m_commands->setArea(CommandContext::Area::EditorBar, editorBar);
    m_commands->setArea(CommandContext::Area::Links, links);

    // Bottom: version, notices, advertisement.
    auto *bottom = new QHBoxLayout;
    lblVision = named(new QLabel(this), u"lblVision"_s);
    bottom->addWidget(lblVision);
    bottom->addSpacing(16);
    auto *noticeBox = new QWidget(this);
    m_noticeRow = new QHBoxLayout(noticeBox);
    m_noticeRow->setContentsMargins(0, 0, 0, 0);
    lblNotice.append(named(new ClickableLabel(noticeBox), u"lblNotice"_s));
    m_noticeRow->addWidget(lblNotice.first());
    bottom->addWidget(noticeBox, 1);
    imgAd = named(new ClickableLabel(this), u"imgAd"_s);
    imgAd->setMaximumHeight(60);
    connect(imgAd, &ClickableLabel::clicked, this, &frmFormat::imgAd_clicked);
    bottom->addWidget(imgAd);
    root->addLayout(bottom);

    timNotice = named(new QTimer(this), u"timNotice"_s);
    timNotice->setInterval(NoticeInterval);
    connect(timNotice, &QTimer::timeout, this, &frmFormat::timNotice_timeout);

    buildEditorCommands();
    installFeatureCommands(*m_commands);
    // A mode whose panel holds nothing has nothing to offer.
    cmdSEO->setVisible(m_commands->area(CommandContext::Area::SeoPanel)->count() > 0);
}

void frmFormat::buildEditorCommands()
{
    QBoxLayout *bar = m_commands->area(CommandContext::Area::EditorBar);
    cmdLoad = named(new QPushButton(u"读取文件"_s, this), u"cmdLoad"_s);
    cmdSave = named(new QPushButton(u"保存文件"_s, this), u"cmdSave"_s);
    cmdText = named(new QPushButton(EditorText::TextModeOff, this), u"cmdText"_s);
    lblPreView = named(new ClickableLabel(EditorText::PreviewOff, this), u"lblPreView"_s);
    cmdClear = named(new QPushButton(u"清空"_s, this), u"cmdClear"_s);
    cmdClear->setToolTip(u"清空编辑器 (Ctrl+D)"_s);
    cmdLoad->setToolTip(u"Alt+O"_s);
    cmdSave->setToolTip(u"Alt+S"_s);
    lblPreView->setCursor(Qt::PointingHandCursor);
    lblPreView->setStyleSheet(colourStyle(IdleButtonColour));
    cmdText->setStyleSheet(colourStyle(IdleButtonColour));
    for (QWidget *control : std::initializer_list<QWidget *>{cmdLoad, cmdSave, cmdText, lblPreView, cmdClear})
        bar->addWidget(control);
    bar->addStretch(1);
    connect(cmdLoad, &QPushButton::clicked, this, &frmFormat::cmdLoad_clicked);
    connect(cmdSave, &QPushButton::clicked, this, &frmFormat::cmdSave_clicked);
    connect(cmdText, &QPushButton::clicked, this, &frmFormat::cmdText_clicked);
    connect(lblPreView, &ClickableLabel::clicked, this, &frmFormat::lblPreView_clicked);
    connect(cmdClear, &QPushButton::clicked, this, &frmFormat::cmdClear_clicked);

    auto addPanelCommands = [this](CommandContext::Area area, QLabel *&action, QPushButton *&copy, QPushButton *&paste,
                                   const QString &suffix) {
        QBoxLayout *panel = m_commands->area(area);
        action = named(new QLabel(this), (suffix == u"1" ? u"lblFormatAction"_s : u"lblYcAction"_s));
        action->setWordWrap(true);
        action->setMinimumHeight(action->fontMetrics().height() * 2);
        copy = named(new QPushButton(u"拷贝出去"_s, this), u"cmdCopy"_s + suffix);
        paste = named(new QPushButton(u"粘贴进来"_s, this), u"cmdPaste"_s + suffix);
        panel->addWidget(action);
        auto *row = new QHBoxLayout;
        row->addWidget(paste);
        row->addWidget(copy);
        panel->addLayout(row);
    };
    addPanelCommands(CommandContext::Area::FormatPanel, lblFormatAction, cmdCopy1, cmdPaste1, u"1"_s);
    addPanelCommands(CommandContext::Area::YcPanel, lblYcAction, cmdCopy2, cmdPaste2, u"2"_s);
    connect(cmdCopy1, &QPushButton::clicked, this, &frmFormat::cmdCopy1_clicked);
    connect(cmdPaste1, &QPushButton::clicked, this, &frmFormat::cmdPaste1_clicked);
    connect(cmdCopy2, &QPushButton::clicked, this, &frmFormat::cmdCopy2_clicked);
    connect(cmdPaste2, &QPushButton::clicked, this, &frmFormat::cmdPaste2_clicked);

    m_commands->addShortcut(Qt::CTRL | Qt::Key_D, [this] { cmdClear_clicked(); });
    m_commands->addShortcut(Qt::ALT | Qt::Key_O, [this] { cmdLoad_clicked(); });
    m_commands->addShortcut(Qt::ALT | Qt::Key_S, [this] { cmdSave_clicked(); });
}

void frmFormat::fillUserArea(const std::optional<UserInfo> &user)
{
    if (user) {
        lblUsername->setText(user->name);
        lblLevel->setText(user->group);
        lblPoint->setText(user->points);
        lblKestCoin->setText(user->coins + u"枚"_s);
        showAvatar(AppFolder::current().path(u"\\userface\\") + user->name + u".bmp"_s);
        lblReg->hide();
        return;
    }
    lblUsername->setText(u"游客"_s);
    lblLevel->setText(u"未登录"_s);
    lblPoint->setText(u"0"_s);
    lblKestCoin->setText(u"0枚"_s);
    showAvatar(AppFolder::current().path(u"\\userface\\default.bmp"));
    lblReg->show();
}

void frmFormat::showAvatar(const QString &path)
{
    // A missing picture leaves the avatar empty.
    imgFace->setPixmap(QPixmap(path));
}

void frmFormat::fetchAdvertisement()
{
    imgAd->hide();
    if (!m_options.service)
        return;
    m_options.service->fetchText(ServicePath::advertisement(), this, [this](const QString &reply) {
        const std::optional<Advertisement> ad = parseAdvertisement(reply);
        if (!ad)
            return;
        m_adLink = ad->link;
        imgAd->setCursor(m_adLink.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        const QPixmap picture(AppFolder::current().path(u"\\html\\") + ad->picture);
        imgAd->setPixmap(picture.isNull() ? QPixmap() : picture.scaledToHeight(imgAd->maximumHeight()));
        imgAd->setVisible(!picture.isNull());
    });
}

void frmFormat::fetchDefaultTexts()
{
    if (!m_options.service)
        return;
    const QDate today = QDate::currentDate();
    auto fetch = [this](const QString &path, QString DefaultTexts::*field) {
        ++m_pendingFetches;
        m_options.service->fetchText(path, this, [this, field](const QString &reply) {
            m_defaultTexts.*field = reply;
            --m_pendingFetches;
            finishLoadWhenReady();
        });
    };
    if (defaultTextDue(configText(Cfg::Form::ShowDefault), today))
        fetch(ServicePath::formatDefault(), &DefaultTexts::format);
    if (defaultTextDue(configText(Cfg::Form::ShowDefaultYC), today))
        fetch(ServicePath::ycDefault(), &DefaultTexts::yc);
}

void frmFormat::web_ready()
{
    m_pageReady = true;
    Q_EMIT editorReady();
    finishLoadWhenReady();
}

void frmFormat::web_loadFailed()
{
    showMessageBox(u"编辑器页面无法打开，请重新安装。"_s);
}

void frmFormat::web_pageRestarted()
{
    showMessageBox(u"编辑器页面意外关闭，已重新打开，请重新放入文章。"_s);
}

void frmFormat::finishLoadWhenReady()
{
    if (m_loaded || !m_pageReady || m_pendingFetches > 0)
        return;
    if (m_host->isBusy()) {
        // A command is talking to the page; the start content waits for it.
        QTimer::singleShot(50, this, &frmFormat::finishLoadWhenReady);
        return;
    }
    m_loaded = true;
    if (m_handOffText) {
        m_session->setEditorHtml(*m_handOffText);
        m_handOffText.reset();
        showPanels();
    } else {
        changeFrm();
        const bool yc = m_session->mode() == ModeName::Yc;
        const QString &text = yc ? m_defaultTexts.yc : m_defaultTexts.format;
        // The editor is usable before the service answers: what the user
        // put there meanwhile is never replaced.
        const std::optional<QString> current = getEditorHtml(*m_host);
        // Shown once a day: remember the day it was shown.
        // A day that cannot be stored only means the text is offered again.
        if (!text.isEmpty() && current && current->isEmpty() && m_session->setEditorHtml(text))
            setConfigText(yc ? Cfg::Form::ShowDefaultYC : Cfg::Form::ShowDefault,
                          defaultTextDate(QDate::currentDate()));
    }
    Q_EMIT loaded();
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
    if (m_loaded)
        applyModeDefaultText(*m_session, m_session->mode(), m_defaultTexts, QDate::currentDate());
    Q_EMIT m_commands->modeChanged(m_session->mode());
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

void frmFormat::cmdCopy1_clicked()
{
    m_session->copyFromEditor();
}

void frmFormat::cmdPaste1_clicked()
{
    m_session->pasteIntoEditor();
}

void frmFormat::cmdCopy2_clicked()
{
    m_session->copyFromEditor();
}

void frmFormat::cmdPaste2_clicked()
{
    m_session->pasteIntoEditor();
}

void frmFormat::cmdLoad_clicked()
{
    m_session->load();
}

void frmFormat::cmdSave_clicked()
{
    m_session->save();
}

void frmFormat::cmdText_clicked()
{
    m_session->toggleTextMode();
}

void frmFormat::lblPreView_clicked()
{
    m_session->togglePreview();
}

void frmFormat::cmdClear_clicked()
{
    m_session->clear();
}

void frmFormat::openForumPage(const QString &path)
{
    const ServerAddress forum = serverAddress(Cfg::Servers::Forum);
    if (forum.host.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(u"http://"_s + forum.authority() + path));
}

void frmFormat::imgFace_clicked()
{
    openForumPage(u"/home.php"_s);
}

void frmFormat::lblAbout_clicked()
{
    openForumPage(u"/thread-230841-1-1.html"_s);
}

void frmFormat::lblBbs_clicked()
{
    openForumPage(u"/"_s);
}

void frmFormat::lblReg_clicked()
{
    openForumPage(u"/member.php?mod=register.php"_s);
}

void frmFormat::imgAd_clicked()
{
    if (!m_adLink.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(m_adLink));
}

void frmFormat::buildNotices(const QList<Notice> &notices)
{
    while (lblNotice.size() > 1)
        delete lblNotice.takeLast();
    m_notices = notices;
    m_currentNotice = 0;
    ClickableLabel *first = lblNotice.first();
    first->clear();
    first->setCursor(Qt::ArrowCursor);
    first->show();
    for (qsizetype i = 0; i < notices.size(); ++i) {
        ClickableLabel *label = first;
        if (i > 0) {
            label = named(new ClickableLabel(first->parentWidget()), u"lblNotice"_s);
            m_noticeRow->addWidget(label);
            lblNotice.append(label);
        }
        connect(label, &ClickableLabel::clicked, this, &frmFormat::lblNotice_clicked, Qt::UniqueConnection);
        label->setText(notices[i].text);
        label->setCursor(notices[i].link.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        label->setVisible(i == 0);
    }
    timNotice->start();
}

void frmFormat::lblNotice_clicked()
{
    const auto index = lblNotice.indexOf(qobject_cast<ClickableLabel *>(sender()));
    if (index < 0 || index >= m_notices.size() || m_notices[index].link.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromUserInput(m_notices[index].link));
}

void frmFormat::timNotice_timeout()
{
    if (lblNotice.isEmpty())
        return;
    lblNotice[m_currentNotice]->hide();
    m_currentNotice = nextNoticeIndex(m_currentNotice, int(lblNotice.size()));
    lblNotice[m_currentNotice]->show();
}

void frmFormat::closeEvent(QCloseEvent *event)
{
    if (m_hideOnClose) {
        m_hiddenByClose = true;
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

void frmFormat::updateEditorStack()
{
    m_editorStack->setCurrentWidget(m_textShown      ? static_cast<QWidget *>(webText)
                                    : m_previewShown ? static_cast<QWidget *>(webPre)
                                                     : static_cast<QWidget *>(web));
}

void frmFormat::showPreview(const QString &html)
{
    m_previewPage->write(html);
    m_previewShown = true;
    updateEditorStack();
}

void frmFormat::hidePreview()
{
    m_previewPage->write(QString());
    m_previewShown = false;
    updateEditorStack();
}

void frmFormat::setPreviewButton(const QString &caption, const QColor &colour)
{
    lblPreView->setText(caption);
    lblPreView->setStyleSheet(colourStyle(colour));
}

void frmFormat::showTextBox(const QString &text)
{
    setTextBoxText(text);
    m_textShown = true;
    updateEditorStack();
    webText->setFocus();
}

void frmFormat::hideTextBox()
{
    m_textShown = false;
    updateEditorStack();
}

QString frmFormat::textBoxText() const
{
    // The box keeps line feeds; the article's text uses CR LF.
    QString text = webText->toPlainText();
    return text.replace(u"\n"_s, u"\r\n"_s);
}

void frmFormat::setTextBoxText(const QString &text)
{
    QString plain = text;
    webText->setPlainText(plain.replace(u"\r\n"_s, u"\n"_s));
}

void frmFormat::setTextModeButton(const QString &caption, const QColor &colour)
{
    cmdText->setText(caption);
    cmdText->setStyleSheet(colourStyle(colour));
}
