#include "images/local_pictures.h"

#include "net/bounded_get.h"
#include "net/web_address.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// What the worker made of one picture's bytes.
struct StoredPicture
{
    QString fileName;
    qint64 bytes = 0;
    QString failure;
};

QString notAPicture()
{
    return u"不是图片"_s;
}

QString tooLarge()
{
    return u"超过%1MB"_s.arg(LocalPictures::MaxPictureBytes / (1024 * 1024));
}

QString extensionOf(const QByteArray &format)
{
    return format == "jpeg" ? u"jpg"_s : QString::fromLatin1(format).toLower();
}

// The picture compressed by the rules of ResizePic, or as it came when that
// makes it no smaller, and written atomically as stem + its extension. Runs
// on a worker thread: it touches nothing but its arguments and the file.
StoredPicture storePicture(const QByteArray &original, const ResizePicOptions &options, const QString &folder,
                           const QString &stem)
{
    QBuffer probe;
    probe.setData(original);
    QImageReader reader(&probe);
    reader.setDecideFormatFromContent(true);
    const QByteArray originalFormat = reader.format();
    // A few kilobytes of PNG can unpack to gigabytes: the size in the header
    // is checked before anything is decoded.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > LocalPictures::MaxPicturePixels)
        return {{}, 0, u"尺寸过大：%1×%2"_s.arg(size.width()).arg(size.height())};
    // A moving picture would keep only its first frame as a JPEG.
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;

    QBuffer buffer;
    buffer.setData(original);
    const QImage canvas = readPictureCanvas(&buffer);
    if (originalFormat.isEmpty() || canvas.isNull())
        return {{}, 0, notAPicture()};

    QByteArray bytes = original;
    QByteArray format = originalFormat;
    if (!animated) {
        CompressedPicture compressed = compressPicture(canvas, original.size(), options);
        if (compressed.outcome == CompressedPicture::Smaller) {
            bytes = std::move(compressed.bytes);
            format = compressed.format;
        }
    }

    const QString fileName = stem + u'.' + extensionOf(format);
    QSaveFile file(QDir(folder).filePath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {{}, 0, u"无法写入：%1"_s.arg(file.errorString())};
    return {fileName, bytes.size(), {}};
}

// The formats Qt can read, so that a server choosing by Accept sends one.
QByteArray acceptedTypes()
{
    QByteArrayList types = QImageReader::supportedMimeTypes();
    types.append("*/*;q=0.5");
    return types.join(',');
}

// "01", "02", … in article order; three digits from a hundred pictures on.
QString pictureNumber(int index, qsizetype count)
{
    const int width = std::max(2, int(QString::number(count).size()));
    return QString::number(index + 1).rightJustified(width, u'0');
}

} // namespace

int LocalPicturesResult::savedCount() const
{
    return int(
        std::count_if(pictures.begin(), pictures.end(), [](const LocalPicture &p) { return p.failure.isEmpty(); }));
}

int LocalPicturesResult::failedCount() const
{
    return int(pictures.size()) - savedCount();
}

LocalPictures::LocalPictures(QObject *parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{}

LocalPictures::~LocalPictures() = default;

bool LocalPictures::start(const QList<ArticlePicture> &pictures, const QString &folder, const ResizePicOptions &options,
                          std::chrono::milliseconds timeout)
{
    if (m_running)
        return false;
    m_running = true;
    m_result = {folder, {}, false};
    m_options = options;
    m_timeout = timeout;
    m_fetches.clear();
    m_queue.clear();
    m_done = 0;
    m_storing = 0;

    for (int index = 0; index < pictures.size(); ++index) {
        const ArticlePicture &picture = pictures[index];
        m_result.pictures.append({pictureNumber(index, pictures.size()), picture.address, {}, 0, {}});
        m_fetches.append({picture.url, 0, {}});
        if (!picture.url.isEmpty())
            m_queue.push_back(index);
    }
    // data: pictures need no fetch; they go to the workers at once, after
    // start() has returned, like every answer.
    QTimer::singleShot(0, this, [this, pictures] {
        for (int index = 0; index < pictures.size(); ++index) {
            if (!pictures[index].url.isEmpty())
                continue;
            const std::optional<QByteArray> bytes = dataPictureBytes(pictures[index].address);
            if (!bytes)
                fail(index, notAPicture());
            else if (bytes->size() > MaxPictureBytes)
                fail(index, tooLarge());
            else
                store(index, *bytes);
        }
        fetchNext();
        if (m_result.pictures.isEmpty())
            resolved(-1);
    });
    return true;
}

void LocalPictures::fetchNext()
{
    // Fetched pictures wait in memory for a free worker; when the network
    // outruns the workers, fetching pauses, so that no more than a few
    // pictures of up to 20 MB are ever held at once.
    const int waitingLimit = MaxFetches + 2 * QThreadPool::globalInstance()->maxThreadCount();
    while (m_activeFetches < MaxFetches && m_activeFetches + m_storing < waitingLimit && !m_queue.empty()) {
        const int index = m_queue.front();
        m_queue.pop_front();
        ++m_activeFetches;
        m_fetches[index].deadline = QDeadlineTimer(m_timeout);
        request(index);
    }
}

void LocalPictures::request(int index)
{
    Fetch &fetch = m_fetches[index];
    const auto remaining = std::chrono::milliseconds(fetch.deadline.remainingTime());
    if (remaining <= std::chrono::milliseconds(0)) {
        --m_activeFetches;
        fail(index, u"超时"_s);
        fetchNext();
        return;
    }
    QNetworkRequest request(fetch.url);
    // Redirects are followed here, so that each target is checked and counted;
    // Qt adds no Referer, and none is set, so hotlink protection lets us in.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    static const QByteArray accept = acceptedTypes();
    request.setRawHeader("Accept", accept);
    // The bounded fetch refuses an announced length over the bound before the
    // body comes, and weighs what is buffered on every arrival.
    QNetworkReply *reply = boundedGet(*m_network, request, remaining, MaxPictureBytes);
    // Queued: the bounded fetch aborts from inside the reply's own signals.
    connect(
        reply, &QNetworkReply::finished, this, [this, index, reply] { fetched(index, reply); }, Qt::QueuedConnection);
}

void LocalPictures::fetched(int index, QNetworkReply *reply)
{
    reply->deleteLater();
    Fetch &fetch = m_fetches[index];
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();

    if (error == QNetworkReply::NoError && status >= 300 && status < 400) {
        const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (!location.isEmpty()) {
            const QUrl target = reply->url().resolved(location);
            if (webAddress(target).isEmpty()) {
                --m_activeFetches;
                fail(index, u"重定向到非网页地址：%1"_s.arg(target.toString()));
            } else if (++fetch.redirects > MaxRedirects) {
                --m_activeFetches;
                fail(index, u"重定向超过%1次"_s.arg(MaxRedirects));
            } else {
                fetch.url = target.adjusted(QUrl::RemoveFragment);
                request(index);
                return;
            }
            fetchNext();
            return;
        }
    }

    --m_activeFetches;
    if (error == QNetworkReply::OperationCanceledError)
        // The bounded fetch aborts for one of two reasons.
        fail(index, stoppedOversized(reply) ? tooLarge() : u"超时"_s);
    else if (status != 0 && (status < 200 || status >= 300))
        fail(index, u"HTTP %1"_s.arg(status));
    else if (error != QNetworkReply::NoError)
        fail(index, u"网络错误：%1"_s.arg(reply->errorString()));
    else
        store(index, reply->readAll());
    fetchNext();
}

void LocalPictures::store(int index, const QByteArray &bytes)
{
    ++m_storing;
    QtConcurrent::run(QThreadPool::globalInstance(), storePicture, bytes, m_options, m_result.folder,
                      m_result.pictures[index].number)
        .then(this, [this, index](const StoredPicture &stored) {
            LocalPicture &picture = m_result.pictures[index];
            picture.fileName = stored.fileName;
            picture.bytes = stored.bytes;
            picture.failure = stored.failure;
            --m_storing;
            resolved(index);
            fetchNext();
        });
}

void LocalPictures::fail(int index, const QString &reason)
{
    m_result.pictures[index].failure = reason;
    resolved(index);
}

void LocalPictures::resolved(int index)
{
    if (index >= 0) {
        ++m_done;
        Q_EMIT progress(m_done, int(m_result.pictures.size()));
    }
    if (m_done < m_result.pictures.size())
        return;

    // Plain UTF-8 lines, tab-separated: the file, then its address; a picture
    // that failed has its number and the reason instead of a file.
    QByteArray list;
    for (const LocalPicture &picture : std::as_const(m_result.pictures)) {
        const QString address = listedPictureAddress(picture.address);
        const QString line = picture.failure.isEmpty()
                                 ? QString(picture.fileName + u'\t' + address)
                                 : QString(picture.number + u'\t' + address + u'\t' + picture.failure);
        list += line.toUtf8() + '\n';
    }
    QSaveFile file(QDir(m_result.folder).filePath(u"list.txt"_s));
    m_result.listWritten = file.open(QIODevice::WriteOnly) && file.write(list) == list.size() && file.commit();
    m_running = false;
    Q_EMIT finished(m_result);
}

QString createPictureFolder(const QString &parent)
{
    if (!QDir().mkpath(parent))
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    const QDir dir(parent);
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString name = attempt == 1 ? stamp : stamp + u'-' + QString::number(attempt);
        if (dir.exists(name))
            continue;
        if (dir.mkdir(name))
            return dir.filePath(name);
    }
    return {};
}

} // namespace zorvane
