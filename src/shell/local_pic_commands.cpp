#include "shell/local_pic_commands.h"

#include "images/article_pictures.h"
#include "images/local_pictures.h"
#include "net/servers.h"
#include "settings/app_folder.h"
#include "settings/frm_setting.h"
#include "shell/command_context.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace zorvane {

LocalPicCommands::LocalPicCommands(CommandContext &context)
    : QObject(&context)
    , m_context(context)
    , m_pictures(new LocalPictures(this))
{
    cmdLocalPic = new QPushButton(u"图片本地化"_s, context.areaWidget(CommandContext::Area::FormatPanel));
    cmdLocalPic->setObjectName(u"cmdLocalPic"_s);
    context.area(CommandContext::Area::FormatPanel)->addWidget(cmdLocalPic);
    connect(cmdLocalPic, &QPushButton::clicked, this, &LocalPicCommands::cmdLocalPic_clicked);
    connect(m_pictures, &LocalPictures::progress, this, [this](int done, int total) {
        m_context.ShowMsg(u"正在保存图片 %1/%2..."_s.arg(done).arg(total), ModeName::Format);
    });
    connect(m_pictures, &LocalPictures::finished, this, &LocalPicCommands::pictures_finished);
}

void LocalPicCommands::cmdLocalPic_clicked()
{
    if (m_pictures->isRunning() || !m_context.passes(CommandKind::ArticleCommand))
        return;
    const ResizePicOptions options = ResizePicOptions::fromSettings();
    // Compression asked for without a strength: as with 图片压缩, the user
    // chooses one first.
    if (options.missingStrength()) {
        frmSetting::showFor(m_context.window());
        m_context.showMessageBox(u"请选择压缩图片大小的强度。"_s);
        return;
    }
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    const QList<ArticlePicture> pictures = articlePictures(*html);
    if (pictures.isEmpty()) {
        m_context.showMessageBox(u"文章中没有图片。"_s);
        return;
    }
    const QString folder = createPictureFolder(AppFolder::current().path(u"\\img"));
    if (folder.isEmpty()) {
        m_context.showMessageBox(u"无法创建文件夹："_s + AppFolder::current().path(u"\\img"));
        return;
    }
    m_context.ShowMsg(u"正在保存图片..."_s, ModeName::Format);
    cmdLocalPic->setEnabled(false);
    m_pictures->start(pictures, folder, options, serverTimeout());
}

void LocalPicCommands::pictures_finished(const LocalPicturesResult &result)
{
    cmdLocalPic->setEnabled(true);
    m_context.ShowMsg(u"图片保存完毕..."_s, ModeName::Format);
    QDesktopServices::openUrl(QUrl::fromLocalFile(result.folder));
    m_context.showMessageBox(u"已保存%1张图片，失败%2张："_s.arg(result.savedCount()).arg(result.failedCount())
                             + result.folder);
}

} // namespace zorvane
