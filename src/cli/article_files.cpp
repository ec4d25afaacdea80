#include "cli/article_files.h"

#include "cli/progress_bar.h"
#include "text/text_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <vector>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

struct FileJob
{
    QString input;
    QString output;
    QString refusal; // why the file is not even tried
};

struct FileOutcome
{
    QString failure; // empty when written
    std::optional<int> count;
};

// Where each FILE's result goes, and which ones cannot go there: a second
// FILE of the same name would overwrite the first one's result, and a result
// must never replace its own input.
std::vector<FileJob> planJobs(const QStringList &files, const QString &outDir)
{
    std::vector<FileJob> jobs;
    QHash<QString, QString> taken; // output name -> the FILE that has it
    const QDir out(outDir);
    for (const QString &file : files) {
        FileJob job{file, out.filePath(QFileInfo(file).fileName()), {}};
        const QString name = QFileInfo(job.output).fileName();
        const QFileInfo output(job.output);
        if (taken.contains(name)) {
            job.refusal = u"%1 has the same name, and its result goes to %2"_s.arg(taken.value(name), job.output);
        } else if (output.exists() && output.canonicalFilePath() == QFileInfo(file).canonicalFilePath()) {
            job.refusal = u"its result would replace it"_s;
        } else {
            taken.insert(name, file);
        }
        jobs.push_back(job);
    }
    return jobs;
}

// The article of a FILE, or why there is none.
struct Article
{
    std::optional<QString> text;
    QString failure;
};

Article readArticle(const CliContext &context, const FileJob &job)
{
    if (!job.refusal.isEmpty())
        return {std::nullopt, job.refusal};
    QFile in(job.input);
    if (!in.open(QIODevice::ReadOnly))
        return {std::nullopt, u"cannot read: "_s + in.errorString()};
    std::optional<QString> text = context.decode(in.readAll());
    if (!text)
        return {std::nullopt, u"not valid "_s + context.encodingName()};
    return {std::move(text), {}};
}

FileOutcome writeResult(const CliContext &context, const ArticleTransform &transform, const FileJob &job,
                        const QString &article)
{
    const ArticleResult result = transform(article);
    if (!writeFileAtomically(job.output, context.encode(result.text)))
        return {u"cannot write "_s + QDir::toNativeSeparators(job.output), {}};
    return {{}, result.count};
}

} // namespace

QList<QCommandLineOption> articleFileOptions()
{
    return {
        {u"out"_s, u"write each FILE's result into DIR under the FILE's name (needed for several FILEs)"_s, u"DIR"_s},
        {{u"j"_s, u"jobs"_s}, u"work on N files at once (default: the number of cores)"_s, u"N"_s},
    };
}

ArticleFiles::ArticleFiles(CliContext &context) : m_context(context)
{
    const QStringList &files = context.arguments();
    m_jobs = QThread::idealThreadCount();
    if (context.isSet(u"j"_s)) {
        bool ok = false;
        m_jobs = context.value(u"j"_s).toInt(&ok);
        m_usageError = !ok || m_jobs < 1;
    }
    if (context.isSet(u"out"_s)) {
        m_outDir = context.value(u"out"_s);
        m_usageError = m_usageError || m_outDir.isEmpty() || files.isEmpty() || files.contains(u"-"_s);
    } else {
        m_usageError = m_usageError || files.size() > 1;
    }
}

int ArticleFiles::run(const ArticleTransform &transform, const ArticleStep &mainThreadStep)
{
    return m_outDir.isEmpty() ? runOne(transform, mainThreadStep) : runMany(transform, mainThreadStep);
}

int ArticleFiles::runOne(const ArticleTransform &transform, const ArticleStep &mainThreadStep)
{
    std::optional<QString> article = m_context.readInput();
    if (!article)
        return CliContext::Failure;
    if (mainThreadStep) {
        QString failure;
        article = mainThreadStep(*article, &failure);
        if (!article)
            return CliContext::fail(failure);
    }
    const ArticleResult result = transform(*article);
    m_context.print(result.text);
    if (result.count)
        CliContext::report(u"count=%1"_s.arg(*result.count));
    return CliContext::Success;
}

int ArticleFiles::runMany(const ArticleTransform &transform, const ArticleStep &mainThreadStep)
{
    const QFileInfo out(m_outDir);
    if (out.exists() ? !out.isDir() : !QDir().mkpath(m_outDir))
        return CliContext::fail(u"cannot make the folder %1"_s.arg(m_outDir));

    const std::vector<FileJob> jobs = planJobs(m_context.arguments(), m_outDir);
    const int total = int(jobs.size());
    std::vector<FileOutcome> outcomes(jobs.size());
    std::vector<std::atomic<bool>> finished(jobs.size());
    std::atomic<int> done = 0;

    QElapsedTimer clock;
    clock.start();
    std::optional<ProgressBar> bar;
    if (ProgressBar::shown())
        bar.emplace(total, u"files"_s);

    // Failures are told in the order of the FILEs, as soon as every earlier
    // FILE is done, whatever order the workers finish in.
    int told = 0;
    int failed = 0;
    qint64 count = 0;
    bool anyCount = false;
    QEventLoop loop;
    QObject receiver;
    const auto catchUp = [&] {
        while (told < total && finished[size_t(told)].load(std::memory_order_acquire)) {
            const FileOutcome &outcome = outcomes[size_t(told)];
            if (!outcome.failure.isEmpty()) {
                ++failed;
                if (bar)
                    bar->clear();
                CliContext::fail(QDir::toNativeSeparators(jobs[size_t(told)].input) + u": "_s + outcome.failure);
            }
            if (outcome.count) {
                count += *outcome.count;
                anyCount = true;
            }
            ++told;
        }
        if (told == total)
            loop.quit();
    };
    const auto finish = [&](int i, FileOutcome outcome) {
        outcomes[size_t(i)] = std::move(outcome);
        finished[size_t(i)].store(true, std::memory_order_release);
        done.fetch_add(1, std::memory_order_relaxed);
        QMetaObject::invokeMethod(&receiver, catchUp, Qt::QueuedConnection);
    };

    QTimer redraw;
    if (bar) {
        QObject::connect(&redraw, &QTimer::timeout, &receiver, [&] { bar->draw(done.load()); });
        redraw.start(100);
        bar->draw(0);
    }
    QThreadPool pool;
    pool.setMaxThreadCount(m_jobs);
    const CliContext &context = m_context;
    for (int i = 0; i < total; ++i) {
        const FileJob &job = jobs[size_t(i)];
        if (!mainThreadStep) {
            pool.start([&, i] {
                Article article = readArticle(context, jobs[size_t(i)]);
                finish(i, article.text ? writeResult(context, transform, jobs[size_t(i)], *article.text)
                                       : FileOutcome{article.failure, {}});
            });
            continue;
        }
        // The step may run the event loop while it waits, so the workers'
        // news is taken in meanwhile.
        Article article = readArticle(context, job);
        if (article.text)
            article.text = mainThreadStep(*article.text, &article.failure);
        if (!article.text) {
            finish(i, {article.failure, {}});
            continue;
        }
        pool.start([&, i, text = std::move(*article.text)] {
            finish(i, writeResult(context, transform, jobs[size_t(i)], text));
        });
    }
    // Every FILE may have been told while the steps ran.
    if (told < total)
        loop.exec();
    pool.waitForDone();
    redraw.stop();
    if (bar) {
        bar->draw(total);
        bar->clear();
    }

    const double seconds = double(clock.elapsed()) / 1000.0;
    QString summary = u"%1 files, %2 written to %3, %4 failed, %5 s (%6 files/s)"_s.arg(total)
                          .arg(total - failed)
                          .arg(QDir::toNativeSeparators(m_outDir))
                          .arg(failed)
                          .arg(seconds, 0, 'f', 2)
                          .arg(seconds > 0 ? double(total) / seconds : 0.0, 0, 'f', 1);
    if (anyCount)
        summary += u", count=%1"_s.arg(count);
    CliContext::report(u"zorvane-cli: "_s + summary);
    return failed > 0 ? CliContext::Failure : CliContext::Success;
}

} // namespace zorvane
