#include "rewrite/synonyms.h"

namespace zorvane {

QString replaceSynonyms(const QString &text, const SynonymIndex &library)
{
    if (text.isEmpty())
        return text;
    return library.replace(text);
}

bool isLibraryBoundary(QStringView c)
{
    return c.isEmpty() || c == u"\r" || c == u"\n" || c == u"|";
}

} // namespace zorvane
