#include "cli/commands.h"
#include "settings/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
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
