// A picture of the settings dialog with a sample of options chosen, for the
// README: zorvane-settings-screenshot OUT.png. Renders offscreen from a
// settings file of its own; needs a CJK font installed.
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "settings/frm_setting.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorvane;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: zorvane-settings-screenshot OUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid() || !QDir(folder.path()).mkpath(u"setting"_s))
        return 1;
    AppFolder::setCurrent(AppFolder(folder.path()));
    using namespace Cfg;
    const bool written = setConfigFlag(Format::ExtBr, true) && setConfigFlag(Format::HeadSpace, true)
                         && setConfigFlag(Format::SpaceStr, true) && setConfigInt(Format::SpaceNum, 2)
                         && setConfigFlag(Format::Point, true) && setConfigFlag(Format::CheckWords, true)
                         && setConfigFlag(Format::CheckWordsType, true) && setConfigFlag(Format::SensitiveLoose, true)
                         && setConfigInt(Format::CjkSpace, 1) && setConfigFlag(Format::SaveWords, true)
                         && setConfigFlag(YC::WholeWords, true)
                         && setConfigText(Format::Sign, u"（来源：本站编辑部）"_s)
                         && setConfigInt(ResizePic::MaxWidth, 600) && setConfigInt(Default::Form, 1);
    if (!written)
        return 1;
    frmSetting dialog;
    dialog.show();
    return dialog.grab().save(args[1]) ? 0 : 1;
}
