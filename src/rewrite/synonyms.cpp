#include "rewrite/synonyms.h"

#include "rewrite/synonym_index.h"

namespace zorvane {

QString replaceSynonyms(const QString &text, const QString &library)
{
    if (text.isEmpty())
        return text;
    return SynonymIndex::forLibrary(library)->replace(text);
}

bool isLibraryBoundary(QStringView c)
{
    return c.isEmpty() || c == u"\r" || c == u"\n" || c == u"|";
}

} // namespace zorvane
