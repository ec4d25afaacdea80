#pragma once

#include "images/article_pictures.h"
#include "images/resize_pic.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <deque>

class QNetworkAccessManager;
class QNetworkReply;

namespace zorvane {

// What became of one picture of the article.
struct LocalPicture
{
    QString number;   // "01", "02", …: its place among the article's pictures
    QString address;  // as the article writes it
    QString fileName; // "01.jpg" in the folder; empty when it failed
    qint64 bytes = 0; // the file's length
    QString failure;  // why it was not saved; empty when it was
};

struct LocalPicturesResult
{
    QString folder;
    QList<LocalPicture> pictures; // article order
    bool listWritten = false;     // "list.txt" is in the folder

    int savedCount() const;
    int failedCount() const;
};

// Saves an article's pictures into a folder: each web picture fetched (four
// at a time, without a Referer, three redirects at most and only to web
// addresses, each within the time-out and 20 MB), each picture compressed by
// the rules of ResizePic off this thread, one picture per core, and written
// atomically as 01.jpg, 02.png, … in article order; a picture that fails
// leaves no file, only its line in "list.txt" with the reason.
class LocalPictures : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxFetches = 4;
    static constexpr int MaxRedirects = 3;
    static constexpr qint64 MaxPictureBytes = 20 * 1024 * 1024;
    // More than a 50-megapixel camera gives; a web picture is far smaller.
    static constexpr qint64 MaxPicturePixels = 50'000'000;

    explicit LocalPictures(QObject *parent = nullptr);
    ~LocalPictures() override;

    // Starts saving into folder, which must exist. finished() follows, also
    // when pictures is empty. False, and nothing started, while a run is
    // under way.
    bool start(const QList<ArticlePicture> &pictures, const QString &folder, const ResizePicOptions &options,
               std::chrono::milliseconds timeout);
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void progress(int done, int total);
    void finished(const LocalPicturesResult &result);

private:
    struct Fetch
    {
        QUrl url;
        int redirects = 0;
        QDeadlineTimer deadline;
    };

    void fetchNext();
    void request(int index);
    void fetched(int index, QNetworkReply *reply);
    void store(int index, const QByteArray &bytes);
    void fail(int index, const QString &reason);
    void resolved(int index);

    QNetworkAccessManager *m_network;
    LocalPicturesResult m_result;
    ResizePicOptions m_options;
    std::chrono::milliseconds m_timeout{0};
    std::deque<int> m_queue; // web pictures waiting for a free fetch
    QList<Fetch> m_fetches;  // by picture
    int m_activeFetches = 0;
    int m_storing = 0; // pictures handed to the workers and not yet written
    int m_done = 0;
    bool m_running = false;
};

// A new folder "YYYYMMDD-HHMMSS" in parent (made when missing), created; a
// second run within the same second gets "-2", "-3", …. Empty when it cannot
// be created.
QString createPictureFolder(const QString &parent);

} // namespace zorvane
