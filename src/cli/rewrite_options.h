#pragma once

#include "cli/cli_context.h"

#include <QRandomGenerator>

#include <optional>

namespace zorvane {

// Options shared by the shuffle and pseudo commands.

// A shuffle strength level: 0 to 3 ("20%" to "80%").
inline std::optional<int> shuffleLevelOf(const QString &value)
{
    if (value.size() == 1 && value.at(0) >= u'0' && value.at(0) <= u'3')
        return value.toInt();
    return std::nullopt;
}

// The generator of --seed N (the same output for the same input and seed),
// or nullopt to use the process-wide one; bad is set for a seed that is not a
// number.
inline std::optional<QRandomGenerator> takeSeededGenerator(CliContext &context, bool &bad)
{
    using namespace Qt::StringLiterals;
    const std::optional<QString> seed = context.takeValue(u"--seed"_s);
    if (!seed)
        return std::nullopt;
    bool ok = false;
    const quint32 value = seed->toUInt(&ok);
    bad = !ok;
    return QRandomGenerator(value);
}

} // namespace zorvane
