#include "shell/notice_bar.h"

#include "net/service_client.h"
#include "net/web_address.h"
#include "settings/app_folder.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/main_window_logic.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

constexpr int NoticeInterval = 5000;

ClickableLabel *noticeLabel(QWidget *parent)
{
    auto *label = new ClickableLabel(parent);
    label->setObjectName(u"lblNotice"_s);
    // The service server's text, never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The links come from the service server: a web address goes to the browser,
// anything else (a local file, a program) is not opened.
void openLink(const QString &link)
{
    const QUrl url = webAddress(QUrl::fromUserInput(link));
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace

NoticeBar::NoticeBar(CommandContext &context) : QObject(&context), m_context(context)
{
    QWidget *bottom = context.areaWidget(CommandContext::Area::Notices);
    auto *noticeBox = new QWidget(bottom);
    m_noticeRow = new QHBoxLayout(noticeBox);
    m_noticeRow->setContentsMargins(0, 0, 0, 0);
    lblNotice.append(noticeLabel(noticeBox));
    m_noticeRow->addWidget(lblNotice.first());
    imgAd = new ClickableLabel(bottom);
    imgAd->setObjectName(u"imgAd"_s);
    imgAd->setMaximumHeight(60);
    imgAd->hide();
    QBoxLayout *row = context.area(CommandContext::Area::Notices);
    row->addWidget(noticeBox, 1);
    row->addWidget(imgAd);

    timNotice = new QTimer(this);
    timNotice->setObjectName(u"timNotice"_s);
    timNotice->setInterval(NoticeInterval);
    connect(timNotice, &QTimer::timeout, this, &NoticeBar::timNotice_timeout);
    connect(imgAd, &ClickableLabel::clicked, this, &NoticeBar::imgAd_clicked);
}

void NoticeBar::setNotices(const QList<Notice> &notices)
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
            label = noticeLabel(first->parentWidget());
            m_noticeRow->addWidget(label);
            lblNotice.append(label);
        }
        connect(label, &ClickableLabel::clicked, this, &NoticeBar::lblNotice_clicked, Qt::UniqueConnection);
        label->setText(notices[i].text);
        label->setCursor(notices[i].link.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        label->setVisible(i == 0);
    }
    timNotice->start();
}

void NoticeBar::timNotice_timeout()
{
    if (lblNotice.isEmpty())
        return;
    lblNotice[m_currentNotice]->hide();
    m_currentNotice = nextNoticeIndex(m_currentNotice, int(lblNotice.size()));
    lblNotice[m_currentNotice]->show();
}

void NoticeBar::lblNotice_clicked()
{
    const auto index = lblNotice.indexOf(qobject_cast<ClickableLabel *>(sender()));
    if (index < 0 || index >= m_notices.size() || m_notices[index].link.isEmpty())
        return;
    openLink(m_notices[index].link);
}

void NoticeBar::fetchAdvertisement()
{
    imgAd->hide();
    ServiceClient *service = m_context.service();
    if (!service)
        return;
    service->fetchText(ServicePath::advertisement(), this, [this](const QString &reply) {
        const std::optional<Advertisement> ad = parseAdvertisement(reply);
        if (!ad)
            return;
        m_adLink = ad->link;
        imgAd->setCursor(m_adLink.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        const QString file = advertisementPicturePath(AppFolder::current(), ad->picture);
        const QPixmap picture = file.isEmpty() ? QPixmap() : QPixmap(file);
        imgAd->setPixmap(picture.isNull() ? QPixmap() : picture.scaledToHeight(imgAd->maximumHeight()));
        imgAd->setVisible(!picture.isNull());
    });
}

void NoticeBar::imgAd_clicked()
{
    if (!m_adLink.isEmpty())
        openLink(m_adLink);
}

} // namespace zorvane
