#include "cli/commands.h"
#include "editor/windowless_editor.h"
#include "settings/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString programUsage()
{
    return u"[--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE] (see --help)"_s;
}

QString programHelp()
{
    QString help = u"usage: zorvane-cli [--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE]\n"
                   "\n"
                   "Runs Zorvane's article tools without a window. Settings and word libraries\n"
                   "come from the application folder (default: the folder of this program).\n"
                   "Text is read from FILE or standard input and written to standard output,\n"
                   "in UTF-8, or in GBK with --gbk. Counts and reports go to standard error.\n"
                   "Exit status: 0 success, 1 failure, 2 usage error.\n"
                   "\n"
                   "commands:\n"_s;
    for (const CliCommand &command : cliCommands())
        help += u"  %1%2\n"_s.arg(command.name.leftJustified(12), command.summary);
    help += u"\n'zorvane-cli COMMAND --help' shows a command's usage.\n"_s;
    return help;
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

// Only the commands that run the editor page pay for a QGuiApplication (and
// the browser engine behind it); the page is never shown, so it needs no
// display.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    while (!args.isEmpty() && args.first().startsWith(u"--"_s))
        args.takeFirst() == u"--app-dir" && !args.isEmpty() ? void(args.takeFirst()) : void();
    if (!args.isEmpty()) {
        const QString name = args.takeFirst();
        for (const CliCommand &command : cliCommands()) {
            if (command.name == name && command.needsPage && command.needsPage(args) && !args.contains(u"--help"_s)) {
                prepareWindowlessPage();
                return std::make_unique<QGuiApplication>(argc, argv);
            }
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QStringList args = app->arguments().mid(1);
    CliContext global({}, false);

    bool gbk = false;
    while (!args.isEmpty() && args.first().startsWith(u"--"_s)) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            global.print(programHelp());
            return CliContext::Success;
        }
        if (option == u"--gbk") {
            gbk = true;
        } else if (option == u"--app-dir" && !args.isEmpty()) {
            const QString dir = args.takeFirst();
            if (!QFileInfo(dir).isDir())
                return global.fail(u"no application folder at %1"_s.arg(dir));
            AppFolder::setCurrent(AppFolder(QDir(dir).absolutePath()));
        } else {
            return global.usage(programUsage());
        }
    }
    if (args.isEmpty())
        return global.usage(programUsage());

    const QString name = args.takeFirst();
    for (const CliCommand &command : cliCommands()) {
        if (command.name != name)
            continue;
        if (args.contains(u"--help"_s)) {
            global.print(u"usage: zorvane-cli "_s + command.usage + u'\n');
            return CliContext::Success;
        }
        CliContext context(args, gbk);
        return command.run(context);
    }
    // A command that does not exist is a usage error, like an unknown option.
    global.report(u"zorvane-cli: unknown command '%1'"_s.arg(name));
    return global.usage(programUsage());
}
