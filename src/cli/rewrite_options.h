#pragma once

#include "cli/cli_context.h"
#include "rewrite/synonyms.h"
#include "snapshot/word_libraries.h"

#include <QRandomGenerator>

#include <optional>

namespace zorvane {

// Options shared by the shuffle, synonyms and pseudo commands.

// The segmenter the synonym exchange needs: the run's, loaded now, when whole
// words are asked for, else one that is never used. nullptr after reporting
// why it cannot be loaded: a run that exchanged nothing must not pass for one
// that found no synonyms.
inline const WordSegmenter *wordSegmenterFor(const SynonymOptions &options, CliContext &context)
{
    WordLibraries &libraries = context.libraries();
    const WordSegmenter &segmenter = libraries.segmenterFor(options);
    if (options.wholeWords && !segmenter.isLoaded()) {
        CliContext::fail(libraries.segmenterError());
        return nullptr;
    }
    return &segmenter;
}

// A shuffle strength level: 0 to 3 ("20%" to "80%").
inline std::optional<int> shuffleLevelOf(const QString &value)
{
    if (value.size() == 1 && value.at(0) >= u'0' && value.at(0) <= u'3')
        return value.toInt();
    return std::nullopt;
}

// The seed of --seed N: every article starts a generator of its own from it,
// so that the same article and seed give the same result, one file or many.
struct SeedOption
{
    bool bad = false;            // --seed given, but not a number
    std::optional<quint32> seed; // nullopt: the process-wide generator
};

inline SeedOption seedOption(const CliContext &context)
{
    using namespace Qt::StringLiterals;
    if (!context.isSet(u"seed"_s))
        return {};
    bool ok = false;
    const quint32 value = context.value(u"seed"_s).toUInt(&ok);
    return {!ok, value};
}

// Runs work with the generator the seed asks for: one seeded for this run,
// or the process-wide one, which is safe to share between threads.
template <typename Work>
auto withGenerator(const std::optional<quint32> &seed, Work &&work)
{
    if (!seed)
        return work(*QRandomGenerator::global());
    QRandomGenerator seeded(*seed);
    return work(seeded);
}

} // namespace zorvane
