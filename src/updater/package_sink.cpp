#include "updater/package_sink.h"

#include "updater/minisign.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString partialSuffix = u".part"_s;

// A file of the update folder that only this run knows, until renamed.
std::unique_ptr<QFile> createTemporary(const QString &folder, const QString &prefix)
{
    auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(prefix + u".XXXXXX"_s + partialSuffix));
    if (!file->open())
        return nullptr;
    file->setAutoRemove(false);
    return file;
}

bool isPieceFileName(const QString &name)
{
    if (name == Package::pieceFileName(0))
        return true;
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

// Hashes on a thread of its own what the sink writes, in order. The queue is
// bounded: a download faster than the hash waits for it rather than piling
// up a package in memory.
class PackageSink::Hasher
{
public:
    Hasher() : m_thread([this] { run(); }) {}
    ~Hasher() { result(); }

    void add(QByteArrayView bytes)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queued < largestQueue; });
        m_queue.push_back(bytes.toByteArray());
        m_queued += bytes.size();
        m_changed.notify_all();
    }

    QByteArray result()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable()) {
            m_thread.join();
            m_result = m_hash.result();
        }
        return m_result;
    }

private:
    static constexpr qint64 largestQueue = 16 * 1024 * 1024;

    void run()
    {
        for (;;) {
            QByteArray bytes;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
                if (m_queue.empty())
                    return;
                bytes = std::move(m_queue.front());
                m_queue.pop_front();
            }
            m_hash.addData(bytes);
            const std::lock_guard lock(m_mutex);
            m_queued -= bytes.size();
            m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    qint64 m_queued = 0;
    bool m_closed = false;
    Blake2b512 m_hash;
    QByteArray m_result;
    std::thread m_thread; // last: it starts once the rest is there
};

PackageSink::PackageSink(const QString &updateFolder, const QString &name, bool hashed)
    : m_folder(updateFolder)
    , m_name(name)
    , m_hasher(hashed ? std::make_unique<Hasher>() : nullptr)
{
    m_splitter.pieceStarted = [this](int index) { return startPiece(index); };
    m_splitter.pieceData = [this](QByteArrayView bytes) {
        return m_piece->write(bytes.constData(), bytes.size()) == bytes.size()
               || fail(u"cannot write %1: %2"_s.arg(m_piece->fileName(), m_piece->errorString()));
    };
}

PackageSink::~PackageSink()
{
    m_hasher.reset();
    m_piece.reset();
    // What took its name is no longer under these.
    if (m_package)
        QFile::remove(m_package->fileName());
    for (const QString &path : std::as_const(m_piecePaths))
        QFile::remove(path);
}

bool PackageSink::start()
{
    m_package = createTemporary(m_folder, m_name + u".md"_s);
    if (!m_package)
        return fail(u"cannot create a file in %1"_s.arg(m_folder));
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString PackageSink::partialPath() const
{
    return m_package ? m_package->fileName() : QString();
}

qint64 PackageSink::readData(char *, qint64)
{
    return -1;
}

qint64 PackageSink::writeData(const char *data, qint64 size)
{
    if (!m_package || m_package->write(data, size) != size) {
        if (m_package)
            fail(u"cannot write %1: %2"_s.arg(m_package->fileName(), m_package->errorString()));
        return -1;
    }
    const QByteArrayView bytes(data, size);
    if (!m_splitter.feed(bytes))
        return -1;
    if (m_hasher)
        m_hasher->add(bytes);
    return size;
}

bool PackageSink::startPiece(int index)
{
    if (!endPiece())
        return false;
    m_piece = createTemporary(m_folder, m_name + u".md."_s + QString::number(index));
    if (!m_piece)
        return fail(u"cannot create a file in %1"_s.arg(m_folder));
    m_piecePaths.append(m_piece->fileName());
    return true;
}

bool PackageSink::endPiece()
{
    if (!m_piece)
        return true;
    const bool written = m_piece->flush();
    if (!written)
        fail(u"cannot write %1: %2"_s.arg(m_piece->fileName(), m_piece->errorString()));
    m_piece.reset();
    return written;
}

bool PackageSink::finish()
{
    if (!isOpen())
        return false;
    QIODevice::close();
    if (!m_splitter.finish() || !endPiece())
        return false;
    if (!m_package->flush())
        return fail(u"cannot write %1: %2"_s.arg(m_package->fileName(), m_package->errorString()));
    m_package->close();
    return true;
}

QByteArray PackageSink::hash()
{
    return m_hasher ? m_hasher->result() : QByteArray();
}

bool PackageSink::install()
{
    // The pieces are not forced to the disk before they take their names: a
    // run that dies before the package's script has succeeded records no
    // stamp, and the next run removes them and downloads them again. A sync
    // here bought nothing and cost a fifth of the update's speed.
    const QDir folder(m_folder);
    auto rename = [this](const QString &from, const QString &to) {
        // Replaces what is there in one step.
        return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
               || fail(u"cannot rename %1 to %2"_s.arg(from, to));
    };
    if (!rename(m_package->fileName(), folder.filePath(m_name + u".md"_s)))
        return false;
    for (qsizetype i = 0; i < m_piecePaths.size(); ++i) {
        if (!rename(m_piecePaths.at(i), folder.filePath(Package::pieceFileName(int(i)))))
            return false;
    }
    return true;
}

bool PackageSink::fail(const QString &error)
{
    if (m_error.isEmpty())
        m_error = error;
    return false;
}

bool removeFormerPieces(const QString &updateFolder)
{
    bool removed = true;
    const QDir folder(updateFolder);
    for (const QString &name : folder.entryList(QDir::Files | QDir::System)) {
        if (isPieceFileName(name))
            removed = QFile::remove(folder.filePath(name)) && removed;
    }
    return removed;
}

void removePartialFiles(const QString &updateFolder)
{
    const QDir folder(updateFolder);
    for (const QString &name : folder.entryList({u"*"_s + partialSuffix}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(folder.filePath(name));
}

} // namespace zorvane
