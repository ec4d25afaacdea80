#pragma once

#include "updater/package_format.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;

namespace zorvane {

// Where a package goes while it downloads. Its bytes are written to a
// temporary file in "\update\", cut into the package's pieces in temporary
// files beside it and, for a prehashed signature, hashed on a thread of their
// own: checking and splitting a large package cost no pass of their own after
// it arrived. Nothing takes a name that a script could run before install(),
// which the caller makes only once the whole package verified; whatever was
// not installed goes with the sink. Temporary files end in ".part", so the
// next run removes what a killed one left.
class PackageSink : public QIODevice
{
    Q_OBJECT

public:
    PackageSink(const QString &updateFolder, const QString &name, bool hashed);
    ~PackageSink() override;

    // Creates the package's temporary file and opens the sink for writing.
    bool start();
    // After the last byte: what is still buffered goes to disk (a full disk
    // shows here) and the sink takes no more.
    bool finish();

    // The rest may run on another thread once finish() returned.

    // The temporary file holding the package as it arrived.
    QString partialPath() const;
    // BLAKE2b-512 of every byte written, empty unless hashed; waits for the
    // hashing thread to catch up.
    QByteArray hash();
    int pieceCount() const { return int(m_piecePaths.size()); }
    // Gives the package its name, "\update\" + name + ".md", and the pieces
    // theirs, "0.bat", "1", "2", …, each on disk before it is named.
    bool install();
    QString errorText() const { return m_error; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool startPiece(int index);
    bool endPiece();
    bool fail(const QString &error);

    class Hasher;

    QString m_folder;
    QString m_name;
    std::unique_ptr<QFile> m_package;
    std::unique_ptr<QFile> m_piece; // the piece that began last
    QStringList m_piecePaths;       // temporary, by piece number
    PackageSplitter m_splitter;
    std::unique_ptr<Hasher> m_hasher;
    QString m_error;
};

// Removes the installation script and the numbered pieces a former package
// left in `updateFolder`, so that a script finds only its own package's.
bool removeFormerPieces(const QString &updateFolder);

// Removes the temporary files of downloads cut short in `updateFolder`.
void removePartialFiles(const QString &updateFolder);

} // namespace zorvane
