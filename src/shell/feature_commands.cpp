#include "shell/feature_commands.h"

#include "shell/command_context.h"
#include "shell/format_commands.h"

#include <QWidget>

// One line per feature; each object lives as long as the window.
void installFeatureCommands(CommandContext &context)
{
    new FormatCommands(context, context.window());
}
