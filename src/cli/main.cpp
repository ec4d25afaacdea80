#include "cli/commands.h"
#include "editor/windowless_editor.h"
#include "settings/app_folder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <memory>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString programUsage()
{
    return u"[--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE] (see --help)"_s;
}

QCommandLineOption helpOption()
{
    return {{u"h"_s, u"help"_s}, u"show this help"_s};
}

// The options as a help text lists them, one a line.
QString optionLines(const QList<QCommandLineOption> &options)
{
    QStringList names;
    for (const QCommandLineOption &option : options) {
        QStringList spelled;
        for (const QString &name : option.names())
            spelled << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
        QString line = spelled.join(u", "_s);
        if (!option.valueName().isEmpty())
            line += u' ' + option.valueName();
        names << line;
    }
    qsizetype width = 0;
    for (const QString &name : std::as_const(names))
        width = qMax(width, name.size());
    QString text;
    for (qsizetype i = 0; i < options.size(); ++i)
        text += u"  "_s + names.at(i).leftJustified(width + 2) + options.at(i).description() + u'\n';
    return text;
}

QString programHelp(const QList<QCommandLineOption> &options)
{
    QString help = u"usage: zorvane-cli [--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE]\n"
                   "\n"
                   "Runs Zorvane's article tools without a window. Settings and word libraries\n"
                   "come from the application folder (default: the folder of this program).\n"
                   "Text is read from FILE or standard input and written to standard output,\n"
                   "in UTF-8, or in GBK with --gbk. Counts and reports go to standard error.\n"
                   "The article commands take several FILEs with --out DIR and work on them\n"
                   "in parallel. Exit status: 0 success, 1 failure, 2 usage error.\n"
                   "\n"
                   "options:\n"_s
                   + optionLines(options)
                   + u"\n"
                     "commands:\n"_s;
    for (const CliCommand &command : cliCommands())
        help += u"  %1%2\n"_s.arg(command.name.leftJustified(12), command.summary);
    help += u"\n'zorvane-cli COMMAND --help' shows a command's usage.\n"_s;
    return help;
}

QString commandHelp(const CliCommand &command)
{
    QString help = u"usage: zorvane-cli "_s + command.usage + u"\n\n"_s + command.summary + u'\n';
    if (!command.options.isEmpty())
        help += u"\noptions:\n"_s + optionLines(command.options);
    return help;
}

void printHelp(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// The page draws nothing, so it needs neither a display nor a GPU. Chromium
// refuses its sandbox to root; a root run goes without it, as scripts/run
// starts Zorvane. The browser engine's start-up chatter on standard error
// would read as the command's report, so Qt's messages are dropped.
void prepareWindowlessPage()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", geteuid() == 0 ? "--disable-gpu --no-sandbox" : "--disable-gpu");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    prepareForEditorPage();
}

} // namespace

int main(int argc, char *argv[])
{
    // The arguments are parsed before the application object exists: only
    // the commands that run the editor page pay for a QGuiApplication (and
    // the browser engine behind it).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // Everything after the command belongs to the command's own parser.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QList<QCommandLineOption> options{
        {u"app-dir"_s, u"the application folder: settings and word libraries"_s, u"DIR"_s},
        {u"gbk"_s, u"read and write GBK instead of UTF-8"_s},
        helpOption(),
    };
    parser.addOptions(options);
    if (!parser.parse(arguments)) {
        CliContext::report(u"zorvane-cli: "_s + parser.errorText());
        return CliContext::usage(programUsage());
    }
    if (parser.isSet(u"help"_s)) {
        printHelp(programHelp(options));
        return CliContext::Success;
    }
    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return CliContext::usage(programUsage());
    const QString name = args.takeFirst();
    const auto command = std::find_if(cliCommands().cbegin(), cliCommands().cend(),
                                      [&name](const CliCommand &c) { return c.name == name; });
    if (command == cliCommands().cend()) {
        // A command that does not exist is a usage error, like an unknown option.
        CliContext::report(u"zorvane-cli: unknown command '%1'"_s.arg(name));
        return CliContext::usage(programUsage());
    }

    QCommandLineParser commandParser;
    commandParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    if (command->optionsFirst)
        commandParser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    commandParser.addOptions(command->options);
    commandParser.addOption(helpOption());
    if (!commandParser.parse(QStringList{u"zorvane-cli "_s + command->name} + args)) {
        CliContext::report(u"zorvane-cli: "_s + commandParser.errorText());
        return CliContext::usage(command->usage);
    }
    if (commandParser.isSet(u"help"_s)) {
        printHelp(commandHelp(*command));
        return CliContext::Success;
    }

    std::unique_ptr<QCoreApplication> app;
    if (command->needsPage && command->needsPage(commandParser)) {
        prepareWindowlessPage();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (parser.isSet(u"app-dir"_s)) {
        const QString dir = parser.value(u"app-dir"_s);
        if (!QFileInfo(dir).isDir())
            return CliContext::fail(u"no application folder at %1"_s.arg(dir));
        AppFolder::setCurrent(AppFolder(QDir(dir).absolutePath()));
    }
    CliContext context(commandParser, command->usage, parser.isSet(u"gbk"_s));
    return command->run(context);
}
