// The README's before/after picture of a whole-page paste: the main window
// holding a whole news page as pasted, then the same window after one-key
// format with 只保留正文 ticked, side by side in one picture. Runs in a
// temporary application folder, so the build's settings are left alone.
//   zorvane-article-screenshot PAGE.html OUT.png (under X)
#include "editor/editor_host.h"
#include "editor/editor_scheme.h"
#include "editor/web_editor_host.h"
#include "shell/frm_format.h"
#include "testsupport/built_editor_page.h"
#include "testsupport/temp_app_folder.h"
#include "text/text_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Both pictures side by side, each under its caption.
QImage sideBySide(const QPixmap &before, const QPixmap &after)
{
    constexpr int Gap = 24;
    constexpr int Caption = 44;
    QImage picture(before.width() + Gap + after.width(), Caption + std::max(before.height(), after.height()),
                   QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QFont font = painter.font();
    font.setPixelSize(22);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, before.width(), Caption), Qt::AlignCenter, u"整页粘贴进来"_s);
    painter.drawText(QRect(before.width() + Gap, 0, after.width(), Caption), Qt::AlignCenter,
                     u"勾选“只保留正文”，一键格式化之后"_s);
    painter.drawPixmap(0, Caption, before);
    painter.drawPixmap(before.width() + Gap, Caption, after);
    return picture;
}

} // namespace

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: zorvane-article-screenshot PAGE.html OUT.png\n", stderr);
        return 2;
    }
    const QString page = readTextFile(args[1]);
    const QString out = args[2];
    TempAppFolder folder;
    if (!installBuiltEditorPage(folder) || !folder.writeSettings(u"[Format]\nHeadSpace=1\nSpaceNum=2\nSpaceStr=1"_s)) {
        std::fputs("cannot prepare an application folder\n", stderr);
        return 1;
    }

    frmFormat window(frmFormat::Options{});
    window.resize(900, 760);
    window.show();
    int status = 1;
    QPixmap before;
    const auto grab = [&window] { return window.screen()->grabWindow(window.winId()); };
    QObject::connect(&window, &frmFormat::loaded, &window, [&] {
        if (!setEditorHtml(window.editorHost(), page)) {
            std::fputs("the editor page did not take the page\n", stderr);
            app.exit(1);
            return;
        }
        // Let the page lay the article out and paint before each picture.
        QTimer::singleShot(1500, &window, [&] {
            before = grab();
            window.findChild<QCheckBox *>(u"chkArticle"_s)->click();
            window.findChild<QPushButton *>(u"cmdOneKey"_s)->click();
            QTimer::singleShot(1500, &window, [&] {
                status = sideBySide(before, grab()).save(out) ? 0 : 1;
                app.exit(status);
            });
        });
    });
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    app.exec();
    return status;
}
