#include "shell/image_commands.h"

#include "images/resize_pic.h"
#include "settings/frm_setting.h"
#include "shell/command_context.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorvane {

ImageCommands::ImageCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    cmdRePic = new QPushButton(u"图片压缩"_s, context.areaWidget(CommandContext::Area::FormatPanel));
    cmdRePic->setObjectName(u"cmdRePic"_s);
    context.area(CommandContext::Area::FormatPanel)->addWidget(cmdRePic);
    connect(cmdRePic, &QPushButton::clicked, this, &ImageCommands::cmdRePic_clicked);
}

void ImageCommands::cmdRePic_clicked()
{
    const QString source = m_context.chooseOpenFile({u"请选择要压缩图片文件"_s, QString(), QString(),
                                                     u"图片文件(*.jpg *.bmp *.gif *.jpeg *.png);;所有文件(*.*)"_s});
    if (source.isEmpty() || !QFileInfo::exists(source))
        return;
    const ResizePicResult result = ResizePic(source, resizePicTarget(source), ResizePicOptions::fromSettings());
    // Without a strength there is nothing to compress with: the settings
    // dialog opens beside the message so the user can choose one.
    if (result.code == ResizePicNoStrength)
        frmSetting::showFor(m_context.window());
    m_context.showMessageBox(result.message);
}

} // namespace zorvane
