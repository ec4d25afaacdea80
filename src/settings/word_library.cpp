#include "settings/word_library.h"

#include "settings/app_folder.h"
#include "text/text_file.h"

const QString &WordLibrary::load()
{
    if (m_text.isEmpty())
        m_text = readTextFile(AppFolder::current().path(m_systemPath));
    return m_text;
}

WordLibrary &typoLibrary()
{
    static WordLibrary library(QStringLiteral("\\data\\error.dat"));
    return library;
}

WordLibrary &synonymLibrary()
{
    static WordLibrary library(QStringLiteral("\\data\\same.dat"));
    return library;
}

WordLibrary &sensitiveLibrary()
{
    static WordLibrary library(QStringLiteral("\\data\\hexie.dat"));
    return library;
}
