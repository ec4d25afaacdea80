#pragma once

#include <QFlags>

namespace zorvane {

// The checks a command runs before it touches the article, always in this
// order; the first refusal ends the command.
enum class Guard {
    NotSeoMode = 0x1,  // requireNotSeoMode
    NotPreview = 0x2,  // requireNotPreview
    NotTextMode = 0x4, // requireNotTextMode
};
Q_DECLARE_FLAGS(Guards, Guard)

// The kinds of command of the main window, by the guards they need.
enum class CommandKind {
    Load,           // cmdLoad
    Save,           // cmdSave
    TextModeToggle, // cmdText
    PreviewToggle,  // lblPreView
    CopyPaste,      // cmdCopy1/2, cmdPaste1/2 (they act on the text box in text mode)
    Clear,          // cmdClear
    ArticleCommand, // every command that rewrites or checks the article: cmdOneKey,
                    // cmdReplaceSame, cmdRe, cmdOneKeyYC, cmdZ2Y, cmdSimFan,
                    // cmdChkWrong, cmdBan
    WordCount,      // imgChkWordNums (in text mode it counts the text box)
};

Guards guardsFor(CommandKind kind);

} // namespace zorvane

Q_DECLARE_OPERATORS_FOR_FLAGS(zorvane::Guards)
