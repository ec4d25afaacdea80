#include "checks/lint.h"
#include "cli/commands.h"
#include "format/inner_text.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// The text a reader sees: an HTML article rendered as the editor's page
// would, a plain text as it is.
QString visibleText(const QString &article)
{
    return textKindOf(article) == TextKind::Html ? htmlToInnerText(article) : article;
}

} // namespace

// As linters do: 0 nothing to report, 1 findings, 2 a usage error or an
// article or library that could not be read, so that 0 never hides a check
// that did not run.
int runLint(CliContext &context)
{
    constexpr int CannotCheck = CliContext::Usage;
    const bool json = context.isSet(u"json"_s);
    if (context.arguments().size() > 1)
        return context.usage();
    const QString file = context.arguments().value(0, u"-"_s);

    const SettingsSnapshot settings = context.readSettings();
    const LintOptions options{settings.checks.sensitiveLoose, settings.format.cjkSpace};
    WordLibraries &libraries = context.libraries();
    LintLibraries lintLibraries{libraries.typos()};
    if (options.looseSensitive)
        lintLibraries.loose = &libraries.looseSensitive();
    else
        lintLibraries.sensitive = &libraries.sensitive();
    for (const WordLibraries::Library library : {WordLibraries::Library::Typos, WordLibraries::Library::Sensitive}) {
        if (!libraries.isLoaded(library)) {
            CliContext::report(
                u"the library %1 is missing or empty"_s.arg(QDir::toNativeSeparators(libraries.filePath(library))));
            return CannotCheck;
        }
    }
    if (options.looseSensitive && !libraries.traditionalCharsError().isEmpty())
        CliContext::report(u"traditional forms are not matched: "_s + libraries.traditionalCharsError());

    QFile in;
    const bool opened =
        file == u"-" ? in.open(stdin, QIODevice::ReadOnly) : (in.setFileName(file), in.open(QIODevice::ReadOnly));
    if (!opened) {
        CliContext::report(u"cannot read %1: %2"_s.arg(file, in.errorString()));
        return CannotCheck;
    }
    const std::optional<QString> article = context.decode(in.readAll());
    if (!article) {
        CliContext::report(u"%1 is not valid %2"_s.arg(file, context.encodingName()));
        return CannotCheck;
    }
    const std::vector<LintFinding> findings = lintText(visibleText(*article), lintLibraries, options);
    for (const LintFinding &finding : findings)
        context.printLine(json ? lintJson(finding) : lintLine(file, finding));
    return findings.empty() ? CliContext::Success : CliContext::Failure;
}

} // namespace zorvane
