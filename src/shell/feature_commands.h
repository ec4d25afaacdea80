#pragma once

namespace zorvane {

class CommandContext;
class EditorCommands;
class NoticeBar;
class UserArea;

// The command groups the main window itself talks to after start-up.
struct InstalledCommands
{
    EditorCommands *editor = nullptr; // shows the state of the preview and the text box
    UserArea *userArea = nullptr;     // fed the user
    NoticeBar *noticeBar = nullptr;   // fed the notices
};

// Creates every command group of the main window (see command_context.h for
// how a group comes in). Each lives as long as the window.
InstalledCommands installFeatureCommands(CommandContext &context);

} // namespace zorvane
