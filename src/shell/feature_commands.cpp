#include "shell/feature_commands.h"

#include "shell/check_commands.h"
#include "shell/command_context.h"
#include "shell/editor_commands.h"
#include "shell/format_commands.h"
#include "shell/image_commands.h"
#include "shell/local_pic_commands.h"
#include "shell/notice_bar.h"
#include "shell/rewrite_commands.h"
#include "shell/seo_commands.h"
#include "shell/settings_commands.h"
#include "shell/user_area.h"

namespace zorvane {

// One line per group, in the order their controls appear in each area.
InstalledCommands installFeatureCommands(CommandContext &context)
{
    InstalledCommands installed;
    installed.editor = new EditorCommands(context);
    installed.userArea = new UserArea(context);
    installed.noticeBar = new NoticeBar(context);
    new ImageCommands(context);
    new LocalPicCommands(context);
    new CheckCommands(context);
    new FormatCommands(context);
    new RewriteCommands(context);
    new SeoCommands(context);
    // The format options' boxes go under the one-key format button.
    new SettingsCommands(context);
    return installed;
}

} // namespace zorvane
