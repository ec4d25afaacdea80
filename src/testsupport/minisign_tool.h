#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

using namespace Qt::StringLiterals;

namespace zorvane {

// Keys and signatures made by the minisign tool itself, in a folder of the
// test's own.
class MinisignTool
{
public:
    explicit MinisignTool(const QString &folder) : m_folder(folder) {}

    // A key pair without a password; false when the tool failed.
    bool generate(const QString &name = u"maker"_s)
    {
        m_publicKey = QDir(m_folder).filePath(name + u".pub");
        m_secretKey = QDir(m_folder).filePath(name + u".key");
        return run({u"-G"_s, u"-W"_s, u"-p"_s, m_publicKey, u"-s"_s, m_secretKey});
    }

    QByteArray publicKey() const { return read(m_publicKey); }
    QString secretKeyPath() const { return m_secretKey; }

    // The signature file of `bytes`, prehashed unless legacy is asked for,
    // carrying `trustedComment` (a null one: the tool's own, its time and
    // the file's name).
    QByteArray sign(const QByteArray &bytes, bool legacy = false, const QString &trustedComment = u"release 2"_s)
    {
        const QString message = QDir(m_folder).filePath(u"message"_s);
        QFile file(message);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return {};
        file.close();
        QFile::remove(message + u".minisig");
        QStringList args{u"-S"_s, u"-s"_s, m_secretKey, u"-m"_s, message};
        if (!trustedComment.isNull())
            args << u"-t"_s << trustedComment;
        if (legacy)
            args << u"-l"_s;
        return run(args) ? read(message + u".minisig") : QByteArray();
    }

private:
    bool run(const QStringList &args) const
    {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(u"minisign"_s, args);
        return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString m_folder;
    QString m_publicKey;
    QString m_secretKey;
};

} // namespace zorvane
