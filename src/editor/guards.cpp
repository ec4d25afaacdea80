#include "editor/guards.h"

namespace zorvane {

Guards guardsFor(CommandKind kind)
{
    switch (kind) {
    case CommandKind::Load:
    case CommandKind::Save:
        return Guard::NotSeoMode | Guard::NotPreview | Guard::NotTextMode;
    case CommandKind::TextModeToggle:
    case CommandKind::WordCount:
        return Guard::NotSeoMode;
    case CommandKind::PreviewToggle:
        return Guard::NotSeoMode | Guard::NotTextMode;
    case CommandKind::CopyPaste:
        return Guard::NotPreview;
    case CommandKind::Clear:
        return {};
    case CommandKind::ArticleCommand:
        return Guard::NotPreview | Guard::NotTextMode;
    }
    return {};
}

} // namespace zorvane
