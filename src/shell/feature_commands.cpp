#include "shell/feature_commands.h"

#include "shell/command_context.h"
#include "shell/rewrite_commands.h"

// One line per feature; each object lives as long as the window.
void installFeatureCommands(CommandContext &context)
{
    new RewriteCommands(context);
}
