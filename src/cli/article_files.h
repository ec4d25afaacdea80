#pragma once

#include "cli/cli_context.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zorvane {

// The options of the commands over articles: --out DIR and -j N.
QList<QCommandLineOption> articleFileOptions();

// What an article command makes of one article: the text it writes, and the
// count it reports (typos, sensitive words), if any.
struct ArticleResult
{
    QString text;
    std::optional<int> count;
};

// Called from several threads at once: it may only read what it was given,
// which the pure logic with its options and const libraries allows.
using ArticleTransform = std::function<ArticleResult(const QString &article)>;

// A step before the transform that only the main thread can take (the editor
// page), one article after the other: the article it makes, or nullopt with
// the reason in failure.
using ArticleStep = std::function<std::optional<QString>(const QString &article, QString *failure)>;

// Runs an article command over its arguments. One FILE, or standard input,
// goes to standard output with the count on standard error. With --out DIR
// every FILE goes to DIR under its own name, -j N files at a time (default:
// the number of cores), each exactly as the one-file command writes it. A
// FILE that cannot be read, is not valid in the chosen encoding or cannot be
// written is reported on standard error and the others go on; the exit status
// is then 1. Standard error shows a progress bar on a terminal, and in any
// case a summary line at the end.
class ArticleFiles
{
public:
    explicit ArticleFiles(CliContext &context);

    // The arguments do not fit together (several FILEs without --out, a
    // FILE "-" or none with it, -j not a positive number).
    bool usageError() const { return m_usageError; }
    int run(const ArticleTransform &transform, const ArticleStep &mainThreadStep = {});

private:
    int runOne(const ArticleTransform &transform, const ArticleStep &mainThreadStep);
    int runMany(const ArticleTransform &transform, const ArticleStep &mainThreadStep);

    CliContext &m_context;
    QString m_outDir;
    int m_jobs = 1;
    bool m_usageError = false;
};

} // namespace zorvane
