#pragma once

#include <QMutex>
#include <QString>

#include <memory>

namespace zorvane {

// Keeps the index built from the last library text it was asked for. The
// index is rebuilt whenever the text differs in any way: the cache holds its
// own deep copy of the text and compares contents (a memcmp, microseconds for
// a large library), so it can never hand out an index of an older library,
// whatever the caller did to its string.
template <typename Index>
class LibraryIndexCache
{
public:
    std::shared_ptr<const Index> get(const QString &library)
    {
        QMutexLocker lock(&m_mutex);
        if (!m_index || m_library != library) {
            m_index.reset();
            m_library = QString(library.constData(), library.size());
            m_index = std::make_shared<const Index>(m_library);
        }
        return m_index;
    }

private:
    QMutex m_mutex;
    QString m_library;
    std::shared_ptr<const Index> m_index;
};

} // namespace zorvane
