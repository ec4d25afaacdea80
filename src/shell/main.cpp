#include "editor/editor_scheme.h"
#include "shell/app_life.h"

#include <QApplication>
#include <QElapsedTimer>

using namespace Qt::StringLiterals;
using namespace zorvane;

int main(int argc, char *argv[])
{
    QElapsedTimer started;
    started.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerEditorScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zorvane"_s);
    QApplication::setApplicationVersion(QString::fromUtf8(ZORVANE_VERSION));

    AppLife life;
    life.setStartClock(started);
    QObject::connect(&life, &AppLife::ended, &app, &QCoreApplication::exit);
    if (const std::optional<int> exitCode = life.start())
        return *exitCode;
    return QApplication::exec();
}
