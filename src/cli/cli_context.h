#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace zorvane {

class WordLibraries;
struct SettingsSnapshot;

// What a command of zorvane-cli gets to work with: its parsed options and
// arguments, the program's input and output in the chosen encoding (UTF-8,
// or GBK with --gbk), the settings as they stand at the command's start and
// the word libraries of the run. Exit codes: 0 success, 1 the command failed,
// 2 usage error.
class CliContext
{
public:
    enum Exit { Success = 0, Failure = 1, Usage = 2 };

    // parser: the command's own, parsed; usage: its usage text, for errors.
    CliContext(const QCommandLineParser &parser, QString usage, bool gbk);
    ~CliContext();

    bool isSet(const QString &option) const { return m_parser.isSet(option); }
    QString value(const QString &option) const { return m_parser.value(option); }
    // The arguments besides the options.
    const QStringList &arguments() const { return m_arguments; }

    // Text in the chosen encoding; nullopt when the bytes are not valid in it
    // (a UTF-8 byte-order mark is dropped).
    std::optional<QString> decode(const QByteArray &bytes) const;
    QByteArray encode(const QString &text) const;
    // The name of the chosen encoding, for messages.
    QString encodingName() const;

    // The text of the one argument FILE ("-" or none: standard input);
    // nullopt after reporting why it cannot be read.
    std::optional<QString> readInput();

    // Read once, at the call: a command calls it at its start.
    SettingsSnapshot readSettings() const;
    // The word libraries of the run, loaded at their first use.
    WordLibraries &libraries();

    void print(const QString &text);            // standard output, as given
    void printLine(const QString &text);        // standard output, with a line end
    static void report(const QString &line);    // standard error, one line
    static int fail(const QString &message);    // reports and returns Failure
    static int usage(const QString &usageText); // reports and returns Usage
    int usage() const { return usage(m_usage); }

private:
    const QCommandLineParser &m_parser;
    QStringList m_arguments;
    QString m_usage;
    bool m_gbk = false;
    std::unique_ptr<WordLibraries> m_libraries;
};

} // namespace zorvane
