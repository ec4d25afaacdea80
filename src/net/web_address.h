#pragma once

#include <QUrl>

namespace zorvane {

// An address that came from a page or a server's reply, as the programs may
// open it in the browser or fetch it: http or https with a host. Anything
// else (a local file, a program, a custom scheme, a relative path) gives an
// invalid QUrl, so the reply cannot make the desktop run or open a local file.
QUrl webAddress(const QUrl &url);

} // namespace zorvane
