#include "settings/word_library.h"

#include "settings/app_folder.h"
#include "text/text_file.h"

using namespace Qt::StringLiterals;

namespace zorvane {

const QString &WordLibrary::load()
{
    if (m_text.isEmpty())
        m_text = readTextFile(AppFolder::current().path(m_systemPath));
    return m_text;
}

WordLibrary &typoLibrary()
{
    static WordLibrary library(u"\\data\\error.dat"_s);
    return library;
}

WordLibrary &synonymLibrary()
{
    static WordLibrary library(u"\\data\\same.dat"_s);
    return library;
}

WordLibrary &sensitiveLibrary()
{
    static WordLibrary library(u"\\data\\hexie.dat"_s);
    return library;
}

} // namespace zorvane
