#pragma once

#include "net/notice.h"

#include <QList>
#include <QObject>
#include <QString>

class QHBoxLayout;
class QTimer;

namespace zorvane {

class ClickableLabel;
class CommandContext;

// The bottom row's news from the maker: the service notices, one at a time
// in rotation, each opening its link when clicked, and the advertisement
// picture with its link. The notices come in through setNotices(); the
// advertisement is asked of the service server.
class NoticeBar : public QObject
{
    Q_OBJECT

public:
    explicit NoticeBar(CommandContext &context);

    // One label per notice (the control array lblNotice), the first one
    // shown, and the rotation started.
    void setNotices(const QList<Notice> &notices);
    int currentNotice() const { return m_currentNotice; }

    // Asks the service server for the advertisement; without a server, or
    // without an answer, imgAd stays hidden.
    void fetchAdvertisement();

    QList<ClickableLabel *> lblNotice;
    QTimer *timNotice = nullptr;
    ClickableLabel *imgAd = nullptr;

private Q_SLOTS:
    void timNotice_timeout();
    void lblNotice_clicked();
    void imgAd_clicked();

private:
    CommandContext &m_context;
    QHBoxLayout *m_noticeRow = nullptr;
    QList<Notice> m_notices;
    int m_currentNotice = 0;
    QString m_adLink;
};

} // namespace zorvane
