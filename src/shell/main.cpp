#include "editor/editor_scheme.h"
#include "net/service_client.h"
#include "shell/frm_format.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

// QT_LOGGING_RULES="zorvane.startup.info=true" reports how long the start took.
Q_LOGGING_CATEGORY(lcStartup, "zorvane.startup", QtWarningMsg)

int main(int argc, char *argv[])
{
    QElapsedTimer started;
    started.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerEditorScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zorvane"_s);
    QApplication::setApplicationVersion(QString::fromUtf8(ZORVANE_VERSION));

    // Until the login window exists, the program opens its main window as a guest.
    ServiceClient service;
    frmFormat::Options options;
    options.service = &service;
    frmFormat window(options);
    QObject::connect(&window, &frmFormat::editorReady, &window, [&started] {
        qCInfo(lcStartup, "main window ready with its editor after %lld ms", started.elapsed());
    });
    QObject::connect(&window, &frmFormat::loaded, &window,
                     [&started] { qCInfo(lcStartup, "start content in place after %lld ms", started.elapsed()); });
    window.show();
    return app.exec();
}
