#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace zorvane {

// Keeps the addresses the desktop is asked to open instead of opening them:
//   QDesktopServices::setUrlHandler(u"http"_s, &catcher, "open");
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace zorvane
