#pragma once

#include <QDateTime>
#include <QString>

namespace zorvane {

// Import and export of the synonym library file "\data\same.dat". The window
// asks for the file names and shows what these return.

struct SynonymFileResult
{
    bool ok = false;
    QString message;         // what to tell the user
    bool messageBox = false; // true: a message box; false: the "yc" status text
};

// The import hint is shown until the user cancels it once (Cfg::Default::
// ShowHelp). Hiding it is false when the settings file cannot be written.
bool synonymImportHintWanted();
bool hideSynonymImportHint();

// The library an import text gives: its non-blank lines joined by CR LF, or
// the text unchanged when it has no CR LF. Every line must hold "|". On
// failure library is empty and message says why.
struct SynonymImportCheck
{
    QString library;
    QString message;
    bool ok() const { return message.isEmpty(); }
};
SynonymImportCheck checkSynonymImport(const QString &text);

// Replaces "\data\same.dat" with the library read from sourcePath (followed by
// CR LF) and stamps Cfg::vision::SameWord with now. The library in
// memory for this run is left as it is.
SynonymFileResult importSynonymLibrary(const QString &sourcePath, const QDateTime &now = QDateTime::currentDateTime());

// Why the library cannot be exported at all (a message-box text), or empty.
QString synonymExportRefusal();
// Writes the library to targetPath, followed by CR LF.
SynonymFileResult exportSynonymLibrary(const QString &targetPath);

// A date and time as the system's general date format writes it:
// 2026/12/7 17:03:05; exactly midnight gives the date alone.
QString generalDateText(const QDateTime &when);

} // namespace zorvane
