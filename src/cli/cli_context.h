#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvane {

// What a command of zorvane-cli gets to work with: its arguments and the
// program's input and output in the chosen encoding (UTF-8, or GBK with
// --gbk). Exit codes: 0 success, 1 the command failed, 2 usage error.
class CliContext
{
public:
    enum Exit { Success = 0, Failure = 1, Usage = 2 };

    CliContext(QStringList args, bool gbk);

    QStringList &args() { return m_args; }

    // Removes a flag such as "--replace"; true when it was given.
    bool takeFlag(const QString &flag);
    // Removes "--name VALUE" (or "--name=VALUE"); nullopt when absent. A flag
    // given without its value sets usageError.
    std::optional<QString> takeValue(const QString &name);
    bool usageError() const { return m_usageError; }

    // The text of the FILE argument (the one remaining argument) or of
    // standard input; nullopt after reporting the error when it cannot be read.
    std::optional<QString> readInput();

    void print(const QString &text);     // standard output, as given
    void printLine(const QString &text); // standard output, with a line end
    void report(const QString &line);    // standard error, one line
    int fail(const QString &message);    // reports and returns Failure
    int usage(const QString &usageText); // reports and returns Usage

private:
    QStringList m_args;
    bool m_gbk = false;
    bool m_usageError = false;
};

} // namespace zorvane
