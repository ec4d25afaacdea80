#include "shell/feature_commands.h"

#include "shell/check_commands.h"
#include "shell/command_context.h"
#include "shell/format_commands.h"
#include "shell/image_commands.h"
#include "shell/rewrite_commands.h"
#include "shell/settings_commands.h"

#include <QWidget>

// One line per feature; each object lives as long as the window.
void installFeatureCommands(CommandContext &context)
{
    new ImageCommands(context);
    new CheckCommands(context);
    new FormatCommands(context);
    new RewriteCommands(context);
    // The format options' boxes go under the one-key format button.
    new SettingsCommands(context);
}
