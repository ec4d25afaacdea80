#include "testsupport/served_content.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>
#include <sys/prctl.h>

namespace zorvane {

namespace {

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

} // namespace

RawReply rawExchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QByteArray received;
    QDeadlineTimer deadline(10000);
    while (socket.state() != QAbstractSocket::UnconnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(deadline.remainingTime()));
        received += socket.readAll();
    }
    received += socket.readAll();

    RawReply reply;
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return reply;
    const QList<QByteArray> lines = received.left(headEnd).split('\n');
    const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
    reply.status = statusLine.value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            reply.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    reply.body = received.mid(headEnd + 4);
    return reply;
}

RawReply rawGet(quint16 port, const QByteArray &target)
{
    return rawExchange(port, "GET " + target
                                 + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept-Encoding: gzip, deflate\r\nConnection: "
                                   "close\r\n\r\n");
}

bool ServedContent::start(const QString &folder)
{
    for (int attempt = 0; attempt < 3 && !m_ready; ++attempt)
        m_ready = startOn(folder, freePort());
    return m_ready;
}

void ServedContent::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool ServedContent::startOn(const QString &folder, quint16 port)
{
    stop();
    m_output.clear();
    m_port = port;
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QString::fromUtf8(ZORVANE_SOURCE_DIR "/scripts/serve-content"), {folder, QString::number(port)});
    const QByteArray logMark = "access log: ";
    QDeadlineTimer deadline(15000);
    while (!m_output.contains(logMark) && m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        m_process.waitForReadyRead(int(deadline.remainingTime()));
        m_output += m_process.readAll();
    }
    const qsizetype at = m_output.indexOf(logMark);
    if (at < 0)
        return false;
    const qsizetype end = m_output.indexOf('\n', at);
    if (end < 0)
        return false;
    m_accessLog = QString::fromLocal8Bit(m_output.mid(at + logMark.size(), end - at - logMark.size()));
    return true;
}

bool ServedContent::copyFolder(const QString &from, const QString &to)
{
    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QString target = to + u'/' + source.relativeFilePath(entry);
        QFile::remove(target);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(entry, target))
            return false;
    }
    return true;
}

void ServedContent::openToWorkers(const QString &root)
{
    const auto dirMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                         | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(root, dirMode);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        if (it.fileInfo().isSymLink())
            continue;
        QFile::setPermissions(entry, it.fileInfo().isDir()
                                         ? dirMode
                                         : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

} // namespace zorvane
