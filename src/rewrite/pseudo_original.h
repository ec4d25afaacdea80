#pragma once

#include <QRandomGenerator>
#include <QString>

#include <functional>
#include <optional>

namespace zorvane {

// The structure shuffle command: the paragraphs (and, from level 1, the
// sentences) reordered, then the plain formatting run.
QString shuffleStructure(const QString &html, int level, QRandomGenerator &random = *QRandomGenerator::global());

// What the one-key pseudo-original runs: the check boxes of the "yc" panel
// and the strength list's level (-1 when no strength is chosen).
struct PseudoOriginalOptions
{
    bool replaceSynonyms = false;
    bool changeOrder = false;
    int level = 0;
};

// Receives each status text as the run reaches its step.
using StatusReport = std::function<void(const QString &)>;

// Synonym replacement with the run's synonym library (loaded on first use),
// the structure shuffle, then the formatting run of the one-key
// pseudo-original. Nothing when the shuffle is asked for without a strength:
// the article must then stay as it was.
std::optional<QString> oneKeyPseudoOriginal(const QString &html, const PseudoOriginalOptions &options,
                                            QRandomGenerator &random = *QRandomGenerator::global(),
                                            const StatusReport &status = {});

// The synonym library of this run, read from "\data\same.dat" on first use;
// reports the first-use text when it has to read the file.
const QString &loadedSynonymLibrary(const StatusReport &status = {});

} // namespace zorvane
