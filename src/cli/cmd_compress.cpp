#include "cli/commands.h"
#include "images/resize_pic.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace zorvane {

int runCompress(CliContext &context)
{
    const QStringList &args = context.arguments();
    if (args.size() != 1 || args.first().isEmpty())
        return context.usage();
    const QString source = QDir::cleanPath(QDir::current().absoluteFilePath(args.first()));
    const ResizePicResult result = ResizePic(source, resizePicTarget(source), ResizePicOptions::fromSettings());
    context.printLine(result.message);
    if (result.code == ResizePicDone)
        return CliContext::Success;
    context.report(u"code=%1"_s.arg(result.code));
    return CliContext::Failure;
}

} // namespace zorvane
