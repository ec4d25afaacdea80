#pragma once

#include "checks/site_statistics.h"
#include "checks/title_search.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace zorvane {

class CommandContext;

// The statistics ("seo") panel: the duplicate-title news search with its
// result grid, and the site's search-engine figures. The first entry into the
// mode looks up the maker's own site (Servers/Site) by itself, once.
class SeoCommands : public QObject
{
    Q_OBJECT

public:
    explicit SeoCommands(CommandContext &context);

    // The label that shows a figure.
    QLabel *figureLabel(SeoFigure figure) const { return m_figureLabels[std::size_t(figure)]; }
    // The first entry into the mode has started a site query.
    bool statisticsStarted() const { return m_statisticsStarted; }

    // The title search.
    QGroupBox *frmTitleSearch = nullptr;
    QLabel *Label22 = nullptr; // "输入文章标题："
    QLineEdit *txtTitle = nullptr;
    QRadioButton *opn1 = nullptr; // exact
    QRadioButton *opn2 = nullptr; // fuzzy
    QPushButton *cmdChkTitle = nullptr;
    QLabel *lblTitleStatus = nullptr;
    QLabel *Label23 = nullptr; // "该文章共被转载"
    QLabel *lblTitleNums = nullptr;
    QLabel *Label24 = nullptr; // "次（最多显示前50条）"
    QTableWidget *MG = nullptr;

    // The site figures.
    QGroupBox *frmSiteSeo = nullptr;
    QLineEdit *txtUrl = nullptr;
    QPushButton *cmdChkSeo = nullptr;
    QLabel *lblBaidu = nullptr;
    QLabel *lblGoogle = nullptr;
    QLabel *lblYohoo = nullptr;
    QLabel *lblBing = nullptr;
    QLabel *lblSoso = nullptr;
    QLabel *lblSougou = nullptr;
    QLabel *lblYoudao = nullptr;
    QLabel *lblAlexa = nullptr;
    QLabel *lblPr = nullptr;
    QLabel *lblFanxiang = nullptr;
    QLabel *lblFriendLink = nullptr;

public Q_SLOTS:
    void cmdChkTitle_clicked();
    void cmdChkSeo_clicked();
    void MG_cellDoubleClicked(int row);

private:
    void buildTitleSearch();
    void buildSiteFigures();
    void modeChanged(const QString &mode);
    TitleSearchMode selectedMode() const;
    void showTitlePage(const TitlePage &page);

    CommandContext &m_context;
    TitleSearch *m_titleSearch;
    SiteStatistics *m_statistics;
    std::array<QLabel *, seoFigureCount> m_figureLabels{};
    // The link of each grid row; empty until a search completed.
    QStringList m_links;
    bool m_statisticsStarted = false;
};

} // namespace zorvane
