#include "cli/commands.h"
#include "images/article_pictures.h"
#include "images/local_pictures.h"
#include "net/servers.h"

#include <QDir>
#include <QEventLoop>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// "[########------------] 8/20" over itself on a terminal's standard error.
void showProgress(int done, int total)
{
    constexpr int Width = 30;
    const int filled = total > 0 ? done * Width / total : Width;
    const QByteArray bar = "\r[" + QByteArray(filled, '#') + QByteArray(Width - filled, '-') + "] "
                           + QByteArray::number(done) + '/' + QByteArray::number(total);
    std::fputs(bar.constData(), stderr);
    std::fflush(stderr);
}

void clearProgress()
{
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

} // namespace

int runImages(CliContext &context)
{
    const QString usage = u"images --out DIR [FILE]"_s;
    const std::optional<QString> out = context.takeValue(u"--out"_s);
    if (context.usageError() || !out || out->isEmpty() || context.args().size() > 1)
        return context.usage(usage);
    for (const QString &arg : context.args()) {
        if (arg.startsWith(u"--"))
            return context.usage(usage);
    }
    const ResizePicOptions options = ResizePicOptions::fromSettings();
    if (options.missingStrength())
        return context.fail(u"请选择压缩图片大小的强度。"_s);
    const std::optional<QString> html = context.readInput();
    if (!html)
        return CliContext::Failure;
    const QList<ArticlePicture> pictures = articlePictures(*html);
    if (pictures.isEmpty()) {
        context.report(u"文章中没有图片。"_s);
        return CliContext::Success;
    }
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(*out));
    if (!QDir().mkpath(folder))
        return context.fail(u"cannot create the folder %1"_s.arg(folder));

    // The program's only event loop: the fetches run on it and end it.
    LocalPictures saver;
    LocalPicturesResult result;
    QEventLoop loop;
    const bool terminal = isatty(STDERR_FILENO);
    if (terminal) {
        showProgress(0, int(pictures.size()));
        QObject::connect(&saver, &LocalPictures::progress, &loop, showProgress);
    }
    QObject::connect(&saver, &LocalPictures::finished, &loop, [&](const LocalPicturesResult &done) {
        result = done;
        loop.quit();
    });
    saver.start(pictures, folder, options, serverTimeout());
    loop.exec();
    if (terminal)
        clearProgress();

    for (const LocalPicture &picture : std::as_const(result.pictures)) {
        const QString address = listedPictureAddress(picture.address);
        if (picture.failure.isEmpty())
            context.printLine(picture.fileName + u'\t' + address + u'\t' + QString::number(picture.bytes));
        else
            context.report(picture.number + u'\t' + address + u'\t' + picture.failure);
    }
    if (!result.listWritten)
        return context.fail(u"cannot write %1"_s.arg(QDir(folder).filePath(u"list.txt"_s)));
    return result.failedCount() > 0 ? CliContext::Failure : CliContext::Success;
}

} // namespace zorvane
