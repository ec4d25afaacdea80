// Patchwell: brings the installation of Zorvane in its own folder up to date.
// Its command line is ignored.
#include "updater/form1.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Patchwell"_s);
    // The window is hidden while the first message shows; the updater ends
    // when the window says so, not when the message closes.
    QApplication::setQuitOnLastWindowClosed(false);
    Form1 window;
    QObject::connect(&window, &Form1::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    window.start();
    return app.exec();
}
