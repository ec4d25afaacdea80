#include "shell/hand_off.h"

#include "text/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

QString handOffFile(const AppFolder &folder)
{
    return folder.path(u"\\html\\cache.html");
}

bool holdsText(QString text)
{
    return !text.remove(u"\r\n"_s).trimmed().isEmpty();
}

} // namespace

bool leaveHandOffText(const AppFolder &folder, const QString &html)
{
    const QString path = handOffFile(folder);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && writeGbkFile(path, html);
}

std::optional<QString> takeActivationText(const AppFolder &folder)
{
    // Taken whole, so that text the helper leaves meanwhile waits for the
    // next wake-up instead of being emptied away unread.
    std::optional<QString> text = takeTextFile(handOffFile(folder));
    if (!text || !holdsText(*text))
        return std::nullopt;
    return text;
}

bool holdsActivationText(const AppFolder &folder)
{
    return holdsText(readTextFile(handOffFile(folder)));
}

QString programPath(const AppFolder &folder, Program program)
{
    const QString name = program == Program::Zorvane ? u"\\Zorvane"_s : u"\\Patchwell"_s;
#ifdef Q_OS_WIN
    return folder.path(name + u".exe"_s);
#else
    return folder.path(name);
#endif
}

bool startProgram(const AppFolder &folder, Program program, const QStringList &arguments)
{
    return QProcess::startDetached(programPath(folder, program), arguments, folder.root());
}

} // namespace zorvane
