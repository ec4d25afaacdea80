#include "cli/commands.h"
#include "settings/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString programHelp()
{
    QString help = QStringLiteral("usage: zorvane-cli [--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE]\n"
                                  "\n"
                                  "Runs Zorvane's article tools without a window. Settings and word libraries\n"
                                  "come from the application folder (default: the folder of this program).\n"
                                  "Text is read from FILE or standard input and written to standard output,\n"
                                  "in UTF-8, or in GBK with --gbk. Counts and reports go to standard error.\n"
                                  "Exit status: 0 success, 1 failure, 2 usage error.\n"
                                  "\n"
                                  "commands:\n");
    for (const CliCommand &command : cliCommands())
        help += QStringLiteral("  %1%2\n").arg(command.name.leftJustified(12), command.summary);
    help += QStringLiteral("\n'zorvane-cli COMMAND --help' shows a command's usage.\n");
    return help;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    CliContext global({}, false);

    bool gbk = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
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
                return global.fail(QStringLiteral("no application folder at %1").arg(dir));
            AppFolder::setCurrent(AppFolder(QDir(dir).absolutePath()));
        } else {
            return global.usage(QStringLiteral("[--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE] (see --help)"));
        }
    }
    if (args.isEmpty())
        return global.usage(QStringLiteral("[--app-dir DIR] [--gbk] COMMAND [ARGS] [FILE] (see --help)"));

    const QString name = args.takeFirst();
    for (const CliCommand &command : cliCommands()) {
        if (command.name != name)
            continue;
        if (args.contains(QStringLiteral("--help"))) {
            global.print(QStringLiteral("usage: zorvane-cli ") + command.usage + u'\n');
            return CliContext::Success;
        }
        CliContext context(args, gbk);
        return command.run(context);
    }
    return global.fail(QStringLiteral("unknown command '%1' (see --help)").arg(name));
}
