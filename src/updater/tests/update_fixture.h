#pragma once

#include "net/update_list.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/minisign_tool.h"
#include "testsupport/temp_app_folder.h"
#include "updater/package_format.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace zorvane {

// An application folder whose service server is a fake one on 127.0.0.1,
// with a one-second time-out so that stalls end quickly, and which holds the
// maker's key.
struct UpdateFixture
{
    std::unique_ptr<TempAppFolder> app = std::make_unique<TempAppFolder>();
    std::unique_ptr<FakeHttpServer> server = std::make_unique<FakeHttpServer>();

    bool isValid() const
    {
        return app->isValid() && server->isListening() && server->serve(Cfg::Servers::Service)
               && setConfigInt(Cfg::Servers::Timeout, 1) && maker()
               && app->writeFile(u"\\setting\\update.pub", maker()->publicKey());
    }

    // The key pair every package of the test program is signed with, made
    // once by the minisign tool; null when it failed.
    static MinisignTool *maker()
    {
        static QTemporaryDir folder;
        static MinisignTool *tool = [] {
            auto *made = new MinisignTool(folder.path());
            return made->generate() ? made : nullptr;
        }();
        return tool;
    }

    // The reply to the update query sent with the stamp `stamp`.
    FakeRoute &list(const QString &stamp = QString())
    {
        return server->on(u"/index.php?m=show&action=upnew&time="_s + stamp);
    }

    // Serves `bytes` as the package of the list entry (at its path) with
    // the maker's signature for that entry beside it.
    FakeRoute &release(const UpdatePackage &entry, const QByteArray &bytes)
    {
        signFor(entry, bytes);
        return server->on(entry.path).respond(200, bytes);
    }
    // The signature alone, for a package served some other way.
    void signFor(const UpdatePackage &entry, const QByteArray &bytes)
    {
        const QString comment = QString::fromUtf8(Package::trustedComment(entry.name, entry.stamp));
        server->on(entry.path + u".minisig"_s).respond(200, maker()->sign(bytes, false, comment));
    }

    static QByteArray package(const QByteArray &script, const QList<QByteArray> &files = {})
    {
        return Package::joinPackage(script, files).value_or(QByteArray());
    }
};

} // namespace zorvane
