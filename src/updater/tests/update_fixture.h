#pragma once

#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "updater/package_format.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace zorvane {

// An application folder whose service server is a fake one on 127.0.0.1,
// with a one-second time-out so that stalls end quickly.
struct UpdateFixture
{
    std::unique_ptr<TempAppFolder> app = std::make_unique<TempAppFolder>();
    std::unique_ptr<FakeHttpServer> server = std::make_unique<FakeHttpServer>();

    bool isValid() const
    {
        return app->isValid() && server->isListening() && server->serve(Cfg::Servers::Service)
               && setConfigInt(Cfg::Servers::Timeout, 1);
    }

    // The reply to the update query sent with the stamp `stamp`.
    FakeRoute &list(const QString &stamp = QString())
    {
        return server->on(u"/index.php?m=show&action=upnew&time="_s + stamp);
    }

    static QByteArray package(const QByteArray &script, const QList<QByteArray> &files = {})
    {
        return Package::joinPackage(script, files).value_or(QByteArray());
    }
};

} // namespace zorvane
