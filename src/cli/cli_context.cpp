#include "cli/cli_context.h"

#include "text/gbk.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

void writeBytes(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CliContext::CliContext(QStringList args, bool gbk) : m_args(std::move(args)), m_gbk(gbk)
{}

bool CliContext::takeFlag(const QString &flag)
{
    return m_args.removeAll(flag) > 0;
}

std::optional<QString> CliContext::takeValue(const QString &name)
{
    for (qsizetype i = 0; i < m_args.size(); ++i) {
        const QString &arg = m_args.at(i);
        if (arg == name) {
            if (i + 1 >= m_args.size()) {
                m_usageError = true;
                m_args.removeAt(i);
                return std::nullopt;
            }
            const QString value = m_args.at(i + 1);
            m_args.remove(i, 2);
            return value;
        }
        if (arg.startsWith(name + u'=')) {
            const QString value = arg.mid(name.size() + 1);
            m_args.removeAt(i);
            return value;
        }
    }
    return std::nullopt;
}

std::optional<QString> CliContext::readInput()
{
    QByteArray bytes;
    if (m_args.isEmpty() || m_args.first() == u'-') {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            fail(u"cannot read standard input"_s);
            return std::nullopt;
        }
        bytes = in.readAll();
    } else {
        QFile in(m_args.first());
        if (!in.open(QIODevice::ReadOnly)) {
            fail(u"cannot read %1: %2"_s.arg(m_args.first(), in.errorString()));
            return std::nullopt;
        }
        bytes = in.readAll();
    }
    if (m_gbk)
        return fromGbk(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

void CliContext::print(const QString &text)
{
    writeBytes(stdout, m_gbk ? toGbk(text) : text.toUtf8());
}

void CliContext::printLine(const QString &text)
{
    print(text + u'\n');
}

void CliContext::report(const QString &line)
{
    writeBytes(stderr, (line + u'\n').toUtf8());
}

int CliContext::fail(const QString &message)
{
    report(u"zorvane-cli: "_s + message);
    return Failure;
}

int CliContext::usage(const QString &usageText)
{
    report(u"usage: zorvane-cli "_s + usageText);
    return Usage;
}

} // namespace zorvane
