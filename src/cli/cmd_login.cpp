#include "cli/commands.h"
#include "net/forum_login.h"
#include "net/user_record.h"

#include <QEventLoop>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// One value a line, whatever the forum put in it.
QString oneLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

int runLogin(CliContext &context)
{
    const bool save = context.isSet(u"save"_s);
    const QStringList &args = context.arguments();
    if (args.size() != 2)
        return context.usage();
    const QString &userName = args.at(0);
    const QString &password = args.at(1);
    // The window's own checks. Errors, like the dialogue's, are the text alone.
    const auto refuse = [&context](const QString &error) {
        context.report(error);
        return int(CliContext::Failure);
    };
    if (userName.isEmpty())
        return refuse(u"用户名不能为空。"_s);
    if (password.isEmpty())
        return refuse(u"密码不能为空。"_s);

    ForumLogin login;
    const QString userFile = userFilePath(AppFolder::current());
    if (const std::optional<UserRecord> saved = readUserFile(userFile))
        login.setRecord(*saved);
    if (save) {
        // As the window saves a login with the password remembered: before
        // the dialogue, with what the file held besides.
        UserRecord record = login.record();
        record.userName = userName;
        record.password = password;
        if (!writeUserFile(userFile, record))
            return context.fail(u"cannot write %1"_s.arg(userFile));
    }

    QEventLoop loop;
    int status = CliContext::Failure;
    QObject::connect(&login, &ForumLogin::succeeded, &loop, [&](const UserRecord &record) {
        context.printLine(u"name=" + oneLine(record.userName));
        context.printLine(u"group=" + oneLine(record.group));
        context.printLine(u"points=" + oneLine(record.points));
        context.printLine(u"coins=" + oneLine(record.coins));
        context.printLine(u"avatar=" + oneLine(record.avatarUrl));
        context.printLine(u"cookie=" + oneLine(record.cookies));
        status = CliContext::Success;
        loop.quit();
    });
    QObject::connect(&login, &ForumLogin::failed, &loop, [&](const QString &text) {
        context.report(text);
        loop.quit();
    });
    // Every exchange and the avatar fetch end within the time-out.
    login.start(userName, password);
    loop.exec();
    return status;
}

} // namespace zorvane
