#include "rewrite/synonym_library_file.h"

#include "rewrite/rewrite_texts.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "text/text_file.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString CrLf = u"\r\n"_s;

QString libraryPath()
{
    return AppFolder::current().path(u"\\data\\same.dat");
}

bool onlySpaces(QStringView line)
{
    for (QChar c : line) {
        if (c != u' ')
            return false;
    }
    return true;
}

} // namespace

bool synonymImportHintWanted()
{
    return configInt(Cfg::Default::ShowHelp) == 0;
}

bool hideSynonymImportHint()
{
    return setConfigFlag(Cfg::Default::ShowHelp, true);
}

SynonymImportCheck checkSynonymImport(const QString &text)
{
    if (text.isEmpty())
        return {{}, RewriteText::kImportTextEmpty};
    if (!text.contains(CrLf)) {
        if (!text.contains(u'|'))
            return {{}, RewriteText::kImportSingleLineFormatError};
        return {text, {}};
    }
    QStringList lines;
    for (const QString &line : text.split(CrLf)) {
        if (onlySpaces(line))
            continue;
        if (!line.contains(u'|'))
            return {{}, RewriteText::kImportLinesFormatError};
        lines << line;
    }
    // A file of blank lines would otherwise replace the library with nothing.
    if (lines.isEmpty())
        return {{}, RewriteText::kImportTextEmpty};
    return {lines.join(CrLf), {}};
}

SynonymFileResult importSynonymLibrary(const QString &sourcePath, const QDateTime &now)
{
    const SynonymImportCheck check = checkSynonymImport(readTextFile(sourcePath));
    if (!check.ok())
        return {false, check.message, true};
    if (!writeGbkFile(libraryPath(), check.library + CrLf))
        return {false, RewriteText::kImportFailed, true};
    // The library is in place either way; a date that cannot be stored only
    // lets the next word-library update offer the server's library again.
    setConfigText(Cfg::vision::SameWord, generalDateText(now));
    return {true, RewriteText::kImported, false};
}

QString synonymExportRefusal()
{
    const QFileInfo library(libraryPath());
    if (!library.exists())
        return RewriteText::kLibraryMissing;
    if (library.size() == 0)
        return RewriteText::kLibraryEmpty;
    return {};
}

SynonymFileResult exportSynonymLibrary(const QString &targetPath)
{
    const QString refusal = synonymExportRefusal();
    if (!refusal.isEmpty())
        return {false, refusal, true};
    const QString text = readTextFile(libraryPath());
    if (!writeGbkFile(targetPath, text + CrLf))
        return {false, RewriteText::kExportFailed, false};
    return {true, RewriteText::kExported, false};
}

QString generalDateText(const QDateTime &when)
{
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return when.toString(u"yyyy/M/d"_s);
    return when.toString(u"yyyy/M/d H:mm:ss"_s);
}

} // namespace zorvane
