#include "shell/feature_commands.h"

#include "shell/command_context.h"

// One line per feature; each object lives as long as the window.
void installFeatureCommands(CommandContext &context)
{
    Q_UNUSED(context)
}
