#pragma once

#include <QDateTime>
#include <QString>

namespace zorvane {

// What the import and export of the synonym library file "\data\same.dat"
// (WordLibraries) check and report.

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

// A date and time as the system's general date format writes it:
// 2026/12/7 17:03:05; exactly midnight gives the date alone.
QString generalDateText(const QDateTime &when);

} // namespace zorvane
