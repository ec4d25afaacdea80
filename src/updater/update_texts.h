#pragma once

#include <QString>

namespace zorvane {

// What Patchwell says, in the order a run says it. The window shows these in
// its status line and message boxes; zorvane-cli prints them.
namespace UpdateText {

QString initialStatus();   // lblStatus before anything happened
QString progressCaption(); // Label1
QString okCaption();       // Command1
QString noUpdate();
QString updatesFound(int count);
QString downloading(int number, const QString &name, int count);
QString installing(const QString &name);
QString succeeded();
QString networkFailure();
QString signatureInvalid();
// The application folder holds no "\setting\update.pub" to check packages with.
QString noKey();
// Another update run holds the application folder.
QString alreadyRunning();
// The server announced a package larger than the updater takes or the disk holds.
QString packageTooLarge(const QString &statusLine, qint64 contentLength);
// A list entry whose name or fields cannot be used as they are.
QString listRefused();
// A package that could not be saved or split, or whose script failed.
QString installFailed();
// The packages are in place but the settings file kept the old version.
QString versionNotRecorded();

} // namespace UpdateText

} // namespace zorvane
