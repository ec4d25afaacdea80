#include "cli/commands.h"
#include "rewrite/translation.h"

#include <QEventLoop>

using namespace Qt::StringLiterals;

namespace zorvane {

int runTranslate(CliContext &context)
{
    const std::optional<QString> to =
        context.isSet(u"to"_s) ? std::optional<QString>(context.value(u"to"_s)) : std::nullopt;
    if (context.arguments().size() > 1 || (to && *to != u"en" && *to != u"zh"))
        return context.usage();
    const TranslationDirection direction =
        to && *to == u"zh" ? TranslationDirection::EnToZh : TranslationDirection::ZhToEn;
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;

    // The program's only event loop: the exchange runs on it and ends it.
    ArticleTranslator translator;
    TranslationOutcome outcome;
    QEventLoop loop;
    QObject::connect(&translator, &ArticleTranslator::finished, &loop, [&](const TranslationOutcome &ended) {
        outcome = ended;
        loop.quit();
    });
    translator.translateArticle(*html, direction);
    loop.exec();

    if (!outcome.replacesArticle())
        return context.fail(outcome.message);
    context.print(outcome.text);
    return CliContext::Success;
}

} // namespace zorvane
