#include "cli/cli_context.h"

#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"
#include "text/gbk.h"

#include <QFile>
#include <QStringDecoder>

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

CliContext::CliContext(const QCommandLineParser &parser, QString usage, bool gbk)
    : m_parser(parser)
    , m_arguments(parser.positionalArguments())
    , m_usage(std::move(usage))
    , m_gbk(gbk)
{}

CliContext::~CliContext() = default;

std::optional<QString> CliContext::decode(const QByteArray &bytes) const
{
    // Stateless: a character cut off at the end is an error, not left pending.
    QStringDecoder decoder = m_gbk ? QStringDecoder("GB18030", QStringDecoder::Flag::Stateless)
                                   : QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray CliContext::encode(const QString &text) const
{
    return m_gbk ? toGbk(text) : text.toUtf8();
}

QString CliContext::encodingName() const
{
    return m_gbk ? u"GBK"_s : u"UTF-8"_s;
}

std::optional<QString> CliContext::readInput()
{
    const bool standardInput = m_arguments.isEmpty() || m_arguments.first() == u'-';
    const QString name = standardInput ? u"standard input"_s : m_arguments.first();
    QByteArray bytes;
    if (standardInput) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            fail(u"cannot read standard input"_s);
            return std::nullopt;
        }
        bytes = in.readAll();
    } else {
        QFile in(name);
        if (!in.open(QIODevice::ReadOnly)) {
            fail(u"cannot read %1: %2"_s.arg(name, in.errorString()));
            return std::nullopt;
        }
        bytes = in.readAll();
    }
    std::optional<QString> text = decode(bytes);
    if (!text)
        fail(u"%1 is not valid %2"_s.arg(name, encodingName()));
    return text;
}

SettingsSnapshot CliContext::readSettings() const
{
    return readSettingsSnapshot();
}

WordLibraries &CliContext::libraries()
{
    if (!m_libraries)
        m_libraries = std::make_unique<WordLibraries>();
    return *m_libraries;
}

void CliContext::print(const QString &text)
{
    writeBytes(stdout, encode(text));
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
