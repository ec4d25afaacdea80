#include "checks/cjk_spacing.h"
#include "cli/article_files.h"
#include "cli/commands.h"

using namespace Qt::StringLiterals;

namespace zorvane {

int runSpace(CliContext &context)
{
    const CjkSpacing spacing = context.isSet(u"remove"_s) ? CjkSpacing::NoBlank : CjkSpacing::OneBlank;
    ArticleFiles files(context);
    if (files.usageError())
        return context.usage();
    return files.run([spacing](const QString &text) {
        const TextKind kind = textKindOf(text);
        const std::vector<SpacingFix> fixes = cjkSpacingFixes(text, kind, spacing);
        std::vector<TextEdit> edits;
        for (const SpacingFix &fix : fixes)
            edits.insert(edits.end(), fix.edits.begin(), fix.edits.end());
        return ArticleResult{applyEdits(text, edits), int(fixes.size())};
    });
}

} // namespace zorvane
