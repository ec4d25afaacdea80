#include "shell/seo_commands.h"

#include "net/servers.h"
#include "settings/config_keys.h"
#include "shell/command_context.h"
#include "shell/named_control.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The grid lists a headline with its source beside its time: the panel is
// wider than the others' columns of buttons.
constexpr int SeoPanelWidth = 360;
constexpr int WheelNotch = 120;

// The hits of a title search: the headline column takes 70 % of the width,
// the time the rest, and the wheel moves one row per notch (Qt's own step is
// several rows).
class ResultGrid : public QTableWidget
{
public:
    explicit ResultGrid(QWidget *parent) : QTableWidget(0, 2, parent)
    {
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWordWrap(false);
        setTextElideMode(Qt::ElideRight);
        verticalHeader()->hide();
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        horizontalHeader()->setStretchLastSection(true);
        horizontalHeader()->setSectionsClickable(false);
        setHorizontalHeaderLabels({u"标题"_s, u"时间"_s});
        // Room for a few hits however tall the window.
        setMinimumHeight(verticalHeader()->defaultSectionSize() * 8);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTableWidget::resizeEvent(event);
        setColumnWidth(0, width() * 7 / 10);
    }

    void wheelEvent(QWheelEvent *event) override
    {
        // Only the plain wheel moves by rows; with a key or button held the
        // grid scrolls as Qt does.
        if (event->modifiers() != Qt::NoModifier || event->buttons() != Qt::NoButton || event->angleDelta().y() == 0) {
            QTableWidget::wheelEvent(event);
            return;
        }
        // A fine-grained wheel sends parts of a notch: a row per whole notch.
        m_wheel += event->angleDelta().y();
        QScrollBar *bar = verticalScrollBar();
        for (; m_wheel >= WheelNotch; m_wheel -= WheelNotch)
            bar->setValue(bar->value() - 1);
        for (; m_wheel <= -WheelNotch; m_wheel += WheelNotch)
            bar->setValue(bar->value() + 1);
        event->accept();
    }

private:
    int m_wheel = 0;
};

QTableWidgetItem *gridCell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// Texts from the servers are shown as they are, never read as markup.
QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

SeoCommands::SeoCommands(CommandContext &context)
    : QObject(&context)
    , m_context(context)
    , m_titleSearch(new TitleSearch(this))
    , m_statistics(new SiteStatistics(this))
{
    QWidget *frm3 = context.areaWidget(CommandContext::Area::SeoPanel);
    frm3->setFixedWidth(SeoPanelWidth);
    buildTitleSearch();
    buildSiteFigures();
    QBoxLayout *panel = context.area(CommandContext::Area::SeoPanel);
    panel->addWidget(frmTitleSearch, 1);
    panel->addWidget(frmSiteSeo);

    connect(cmdChkTitle, &QPushButton::clicked, this, &SeoCommands::cmdChkTitle_clicked);
    connect(txtTitle, &QLineEdit::returnPressed, this, &SeoCommands::cmdChkTitle_clicked);
    connect(MG, &QTableWidget::cellDoubleClicked, this, &SeoCommands::MG_cellDoubleClicked);
    connect(m_titleSearch, &TitleSearch::finished, this, &SeoCommands::showTitlePage);
    connect(m_titleSearch, &TitleSearch::failed, lblTitleStatus, &QLabel::setText);

    connect(cmdChkSeo, &QPushButton::clicked, this, &SeoCommands::cmdChkSeo_clicked);
    connect(txtUrl, &QLineEdit::returnPressed, this, &SeoCommands::cmdChkSeo_clicked);
    connect(m_statistics, &SiteStatistics::figureChanged, this,
            [this](SeoFigure figure, const QString &text) { figureLabel(figure)->setText(text); });
    // Queued: the box waits for the failing exchange to wind down first, and
    // the other sources go on filling their figures behind it.
    connect(
        m_statistics, &SiteStatistics::networkFailure, this,
        [this](const QString &message) { m_context.showMessageBox(message); }, Qt::QueuedConnection);

    connect(&context, &CommandContext::modeChanged, this, &SeoCommands::modeChanged);
}

void SeoCommands::buildTitleSearch()
{
    QWidget *frm3 = m_context.areaWidget(CommandContext::Area::SeoPanel);
    frmTitleSearch = named(new QGroupBox(u"单篇文章搜索引擎收录数"_s, frm3), u"frmTitleSearch"_s);
    auto *layout = new QVBoxLayout(frmTitleSearch);

    Label22 = named(new QLabel(u"输入文章标题："_s, frmTitleSearch), u"Label22"_s);
    txtTitle = named(new QLineEdit(frmTitleSearch), u"txtTitle"_s);
    layout->addWidget(Label22);
    layout->addWidget(txtTitle);

    auto *options = new QHBoxLayout;
    opn1 = named(new QRadioButton(u"精确"_s, frmTitleSearch), u"opn1"_s);
    opn2 = named(new QRadioButton(u"模糊"_s, frmTitleSearch), u"opn2"_s);
    opn1->setChecked(true);
    cmdChkTitle = named(new QPushButton(u"查询"_s, frmTitleSearch), u"cmdChkTitle"_s);
    options->addWidget(opn1);
    options->addWidget(opn2);
    options->addStretch(1);
    options->addWidget(cmdChkTitle);
    layout->addLayout(options);

    lblTitleStatus = named(plainLabel(QString(), frmTitleSearch), u"lblTitleStatus"_s);
    layout->addWidget(lblTitleStatus);

    // "该文章共被转载" N "次（最多显示前50条）" reads as one sentence, the
    // count as wide as its text.
    auto *count = new QHBoxLayout;
    count->setSpacing(2);
    Label23 = named(new QLabel(u"该文章共被转载"_s, frmTitleSearch), u"Label23"_s);
    lblTitleNums = named(plainLabel(u"0"_s, frmTitleSearch), u"lblTitleNums"_s);
    Label24 = named(new QLabel(u"次（最多显示前50条）"_s, frmTitleSearch), u"Label24"_s);
    QFont bold = lblTitleNums->font();
    bold.setBold(true);
    lblTitleNums->setFont(bold);
    count->addWidget(Label23);
    count->addWidget(lblTitleNums);
    count->addWidget(Label24);
    count->addStretch(1);
    layout->addLayout(count);

    MG = named(new ResultGrid(frmTitleSearch), u"MG"_s);
    layout->addWidget(MG, 1);
}

void SeoCommands::buildSiteFigures()
{
    QWidget *frm3 = m_context.areaWidget(CommandContext::Area::SeoPanel);
    frmSiteSeo = named(new QGroupBox(u"网站SEO数据"_s, frm3), u"frmSiteSeo"_s);
    auto *layout = new QVBoxLayout(frmSiteSeo);

    auto *site = new QHBoxLayout;
    txtUrl = named(new QLineEdit(frmSiteSeo), u"txtUrl"_s);
    cmdChkSeo = named(new QPushButton(u"查询"_s, frmSiteSeo), u"cmdChkSeo"_s);
    site->addWidget(new QLabel(u"输入网址："_s, frmSiteSeo));
    site->addWidget(txtUrl, 1);
    site->addWidget(cmdChkSeo);
    layout->addLayout(site);

    struct Figure
    {
        QLabel **label;
        SeoFigure which;
        QString caption;
    };
    auto addFigures = [this](QGridLayout *grid, int firstRow, const QList<Figure> &figures, bool captionAsTip) {
        // Two figures a row, each after its caption.
        for (int index = 0; index < figures.size(); ++index) {
            const Figure &figure = figures[index];
            const int row = firstRow + index / 2;
            const int column = index % 2 * 2;
            QLabel *label = named(plainLabel(SeoText::noData(), frmSiteSeo), seoFigureLabel(figure.which));
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (captionAsTip)
                label->setToolTip(figure.caption);
            *figure.label = label;
            m_figureLabels[std::size_t(figure.which)] = label;
            grid->addWidget(new QLabel(figure.caption, frmSiteSeo), row, column);
            grid->addWidget(label, row, column + 1);
        }
    };
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->addWidget(new QLabel(u"收录数："_s, frmSiteSeo), 0, 0, 1, 4);
    // The search engines' counts, each named beside it and in its tool tip.
    addFigures(grid, 1,
               {{&lblBaidu, SeoFigure::Baidu, u"百度"_s},
                {&lblGoogle, SeoFigure::Google, u"谷歌"_s},
                {&lblYohoo, SeoFigure::Yohoo, u"雅虎"_s},
                {&lblBing, SeoFigure::Bing, u"必应"_s},
                {&lblSoso, SeoFigure::Soso, u"搜搜"_s},
                {&lblSougou, SeoFigure::Sougou, u"搜狗"_s},
                {&lblYoudao, SeoFigure::Youdao, u"有道"_s}},
               true);
    addFigures(grid, 5,
               {{&lblAlexa, SeoFigure::Alexa, u"Alexa排名："_s},
                {&lblPr, SeoFigure::Pr, u"PR值："_s},
                {&lblFanxiang, SeoFigure::Fanxiang, u"反向链接："_s},
                {&lblFriendLink, SeoFigure::FriendLink, u"友情链接："_s}},
               false);
    layout->addLayout(grid);
}

void SeoCommands::modeChanged(const QString &mode)
{
    if (mode != ModeName::Seo || m_statisticsStarted)
        return;
    // The first time the panel shows, it shows the maker's own site.
    m_statisticsStarted = true;
    txtUrl->setText(serverSetting(Cfg::Servers::Site));
    cmdChkSeo_clicked();
}

TitleSearchMode SeoCommands::selectedMode() const
{
    if (opn1->isChecked())
        return TitleSearchMode::Exact;
    if (opn2->isChecked())
        return TitleSearchMode::Fuzzy;
    return TitleSearchMode::None;
}

void SeoCommands::cmdChkTitle_clicked()
{
    if (txtTitle->text().isEmpty()) {
        txtTitle->setFocus();
        return;
    }
    txtTitle->setText(titleQueryText(txtTitle->text()));
    lblTitleStatus->setText(TitleSearchText::querying());
    // The page is cut by the option selected when it has arrived.
    m_titleSearch->start(txtTitle->text(), selectedMode(), [this] { return selectedMode(); });
}

void SeoCommands::showTitlePage(const TitlePage &page)
{
    lblTitleStatus->setText(TitleSearchText::done());
    lblTitleNums->setText(page.count);
    MG->clearContents();
    MG->setRowCount(int(page.hits.size()));
    m_links.clear();
    for (int row = 0; row < page.hits.size(); ++row) {
        const TitleHit &hit = page.hits[row];
        MG->setItem(row, 0, gridCell(hit.caption()));
        MG->setItem(row, 1, gridCell(hit.time));
        m_links.append(hit.link);
    }
    MG->scrollToTop();
}

void SeoCommands::MG_cellDoubleClicked(int row)
{
    if (row < 0 || row >= m_links.size())
        return;
    // The link comes from the page: only a web address goes to the browser.
    const QUrl url = openableHitUrl(m_links[row]);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void SeoCommands::cmdChkSeo_clicked()
{
    if (txtUrl->text().isEmpty()) {
        txtUrl->setFocus();
        return;
    }
    txtUrl->setText(siteQueryText(txtUrl->text()));
    m_statistics->start(txtUrl->text());
}

} // namespace zorvane
