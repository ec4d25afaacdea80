#pragma once

// The sample news pages the formatting is checked against live beside the
// checkout (../shared/samples/articles/NAME/{source,expected}.html), not in
// it. A clone on its own has none: the tests and benchmarks that need them
// skip with sampleSkipMessage(), everything else runs.
//
// Header only, for tests and benchmarks alike: the consumer's build defines
// ZORVANE_SAMPLES_DIR (zorvane_add_qtest and zorvane_add_benchmark do).

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

#ifndef ZORVANE_SAMPLES_DIR
#error "ZORVANE_SAMPLES_DIR names the sample folder beside the checkout"
#endif

namespace zorvane {

// The folder holding articles/: ZORVANE_SAMPLES_DIR from the environment,
// else the one beside the checkout (a worktree sits one folder deeper);
// empty when none of them has articles/.
inline QString sampleFolder()
{
    using namespace Qt::StringLiterals;
    const QString overridden = qEnvironmentVariable("ZORVANE_SAMPLES_DIR");
    const QString builtIn = QString::fromUtf8(ZORVANE_SAMPLES_DIR);
    const QStringList candidates{overridden, builtIn, builtIn + u"/../../../shared/samples"_s};
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QDir(candidate + u"/articles"_s).exists())
            return QDir::cleanPath(candidate);
    }
    return {};
}

// The sample articles' folder (one sub-folder per article), or empty.
inline QString sampleArticlesFolder()
{
    using namespace Qt::StringLiterals;
    const QString folder = sampleFolder();
    return folder.isEmpty() ? QString() : folder + u"/articles"_s;
}

// The articles as a reader view extracts them, articles/NAME/expected.html:
// name and path, in the order of their names; empty without samples.
inline QList<std::pair<QString, QString>> expectedArticles()
{
    using namespace Qt::StringLiterals;
    const QString folder = sampleArticlesFolder();
    if (folder.isEmpty())
        return {};
    QList<std::pair<QString, QString>> articles;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.filePath(name + u"/expected.html"_s);
        if (QFileInfo::exists(path))
            articles.append({name, path});
    }
    return articles;
}

inline const char *sampleSkipMessage()
{
    return "no sample pages: ../shared/samples/articles is not beside this checkout "
           "(set ZORVANE_SAMPLES_DIR to a folder holding articles/)";
}

} // namespace zorvane
