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
        int fixed = 0;
        QString spaced = applyCjkSpacing(text, textKindOf(text), spacing, &fixed);
        return ArticleResult{std::move(spaced), fixed};
    });
}

} // namespace zorvane
