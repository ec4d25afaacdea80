#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "images/article_pictures.h"
#include "images/local_pictures.h"
#include "net/servers.h"

#include <QDir>
#include <QEventLoop>

#include <optional>

using namespace Qt::StringLiterals;

namespace zorvane {

int runImages(CliContext &context)
{
    const std::optional<QString> out =
        context.isSet(u"out"_s) ? std::optional<QString>(context.value(u"out"_s)) : std::nullopt;
    if (!out || out->isEmpty() || context.arguments().size() > 1)
        return context.usage();
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
    std::optional<ProgressBar> bar;
    if (ProgressBar::shown()) {
        bar.emplace(int(pictures.size()), u"pictures"_s);
        bar->draw(0);
        QObject::connect(&saver, &LocalPictures::progress, &loop, [&bar](int done, int) { bar->draw(done); });
    }
    QObject::connect(&saver, &LocalPictures::finished, &loop, [&](const LocalPicturesResult &done) {
        result = done;
        loop.quit();
    });
    saver.start(pictures, folder, options, serverTimeout());
    loop.exec();
    if (bar)
        bar->clear();

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
