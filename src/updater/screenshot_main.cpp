// Takes the README's picture of Patchwell's window halfway through a
// download: a temporary application folder, a local server that sends the
// package slowly, the window's own run.
//   QT_QPA_PLATFORM=offscreen patchwell-screenshot OUT.png
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/temp_app_folder.h"
#include "updater/form1.h"
#include "updater/package_format.h"
#include "updater/update_run.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Confirms the "updates found" message the moment it shows.
class Confirmer : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched))
                QMetaObject::invokeMethod(
                    box, [box] { box->done(QMessageBox::Ok); }, Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (QApplication::arguments().size() != 2) {
        std::fputs("usage: patchwell-screenshot OUT.png\n", stderr);
        return 2;
    }
    const QString out = QApplication::arguments().at(1);
    TempAppFolder folder;
    FakeHttpServer server;
    if (!folder.isValid() || !server.serve(Cfg::Servers::Service)) {
        std::fputs("cannot set up the application folder\n", stderr);
        return 1;
    }
    server.on(u"/index.php?m=show&action=upnew&time="_s)
        .respond(200, "V2.1.0|20240301|/up/2.1.0.md<br>V2.1.1|20240315|/up/2.1.1.md");
    const QByteArray package = Package::joinPackage("true\n", {QByteArray(400000, 'z')}).value_or(QByteArray());
    const QByteArray response = FakeHttpServer::httpResponse(200, package, "application/octet-stream");
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < response.size(); at += response.size() / 40 + 1)
        pieces << response.mid(at, response.size() / 40 + 1);
    server.on(u"/up/2.1.0.md"_s).chunks(pieces).delay(60ms);
    // Signed as the maker signs it, for the key the folder holds.
    QTemporaryDir keys;
    MinisignTool maker(keys.path());
    if (!maker.generate() || !folder.writeFile(u"\\setting\\update.pub", maker.publicKey())) {
        std::fputs("cannot make a key with minisign\n", stderr);
        return 1;
    }
    server.on(u"/up/2.1.0.md.minisig"_s)
        .respond(200,
                 maker.sign(package, false, QString::fromUtf8(Package::trustedComment(u"V2.1.0"_s, u"20240301"_s))));

    Confirmer confirmer;
    app.installEventFilter(&confirmer);
    Form1 window;
    window.resize(480, window.sizeHint().height());
    int status = 1;
    // The picture once the bar is a little past the middle; the window has
    // taken the same signal first.
    QObject::connect(window.run(), &UpdateRun::progressChanged, &window, [&](const DownloadProgress &progress) {
        if (progress.percent < 45 || status == 0)
            return;
        status = window.grab().save(out) ? 0 : 1;
        app.exit(status);
    });
    window.start();
    QTimer::singleShot(30s, &app, [&] { app.exit(1); });
    app.exec();
    return status;
}
