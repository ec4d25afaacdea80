#include "snapshot/synonym_library_file.h"

#include "rewrite/rewrite_texts.h"
#include "settings/config_keys.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString CrLf = u"\r\n"_s;

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

QString generalDateText(const QDateTime &when)
{
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return when.toString(u"yyyy/M/d"_s);
    return when.toString(u"yyyy/M/d H:mm:ss"_s);
}

} // namespace zorvane
