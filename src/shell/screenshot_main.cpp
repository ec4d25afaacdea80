// Shows the main window holding an article, runs the window's own one-key
// format on it when that command exists, turns to the pseudo-original panel
// (the fuller of the two article panels) and saves a picture of the window:
// the README's screenshot. zorvane-screenshot ARTICLE.html OUT.png (under X).
#include "editor/editor_host.h"
#include "editor/editor_scheme.h"
#include "editor/mode_name.h"
#include "editor/web_editor_host.h"
#include "settings/app_folder.h"
#include "shell/frm_format.h"
#include "text/text_file.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorvane;

int main(int argc, char *argv[])
{
    registerEditorScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zorvane"_s);
    QApplication::setApplicationVersion(QString::fromUtf8(ZORVANE_VERSION));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: zorvane-screenshot ARTICLE.html OUT.png\n", stderr);
        return 2;
    }
    const QString article = readTextFile(args[1]);
    AppFolder::setCurrent(AppFolder(QString::fromUtf8(ZORVANE_APP_DIR)));
    const QString out = args[2];

    frmFormat window(frmFormat::Options{});
    window.resize(1180, 760);
    window.show();
    int status = 1;
    QObject::connect(&window, &frmFormat::loaded, &window, [&] {
        if (!setEditorHtml(window.editorHost(), article)) {
            std::fputs("the editor page did not take the article\n", stderr);
            app.exit(1);
            return;
        }
        if (auto *oneKey = window.findChild<QPushButton *>(u"cmdOneKey"_s))
            oneKey->click();
        else
            std::fputs("no one-key format command: the article is shown as it is\n", stderr);
        window.setMode(ModeName::Yc);
        // Let the page lay the article out and paint before the picture.
        QTimer::singleShot(1500, &window, [&] {
            const QPixmap picture = window.screen()->grabWindow(window.winId());
            status = picture.save(out) ? 0 : 1;
            app.exit(status);
        });
    });
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    app.exec();
    return status;
}
