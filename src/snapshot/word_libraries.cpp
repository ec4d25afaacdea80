#include "snapshot/word_libraries.h"

#include "rewrite/rewrite_texts.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "snapshot/opencc_traditional.h"
#include "text/text_file.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorvane {

QString WordLibraries::systemPath(Library library)
{
    switch (library) {
    case Library::Typos:
        return u"\\data\\error.dat"_s;
    case Library::Synonyms:
        return u"\\data\\same.dat"_s;
    case Library::Sensitive:
        return u"\\data\\hexie.dat"_s;
    case Library::SensitiveAllowed:
        return u"\\data\\hexie_allow.dat"_s;
    }
    return {};
}

QString WordLibraries::filePath(Library library) const
{
    return AppFolder::current().path(systemPath(library));
}

QString WordLibraries::readLibrary(Library library) const
{
    return readTextFile(filePath(library));
}

template <typename Index>
const Index &WordLibraries::use(Slot<Index> &slot, Library library)
{
    if (!slot.loaded) {
        const QString text = readLibrary(library);
        slot.loaded = !text.isEmpty();
        // A file still missing keeps the empty index it had.
        if (slot.loaded || !slot.index)
            slot.index = std::make_unique<const Index>(text);
    }
    return *slot.index;
}

bool WordLibraries::isLoaded(Library library) const
{
    switch (library) {
    case Library::Typos:
        return m_typos.loaded;
    case Library::Synonyms:
        return m_synonyms.loaded;
    case Library::Sensitive:
        return m_sensitive.loaded || m_looseSensitive.loaded;
    case Library::SensitiveAllowed:
        return m_looseSensitive.loaded;
    }
    return false;
}

const TypoIndex &WordLibraries::typos()
{
    return use(m_typos, Library::Typos);
}

const TypoIndex &WordLibraries::typosFor(FormatMode mode, const FormatOptions &options)
{
    return usesTypoLibrary(mode, options) ? typos() : m_noTypos;
}

const SynonymIndex &WordLibraries::synonyms()
{
    return use(m_synonyms, Library::Synonyms);
}

const SensitiveIndex &WordLibraries::sensitive()
{
    return use(m_sensitive, Library::Sensitive);
}

const WordSegmenter &WordLibraries::segmenter()
{
    if (!m_segmenter)
        m_segmenter = WordSegmenter::load(m_segmenterDictionary, &m_segmenterError);
    return *m_segmenter;
}

const WordSegmenter &WordLibraries::segmenterFor(const SynonymOptions &options)
{
    return options.wholeWords ? segmenter() : m_noSegmenter;
}

const LooseSensitiveIndex &WordLibraries::looseSensitive()
{
    if (!m_folding) {
        TraditionalCharsLoad traditional = loadTraditionalChars();
        m_traditionalError = traditional.error;
        m_folding = std::make_shared<const CharFolding>(traditional.chars.value_or(TraditionalChars()));
    }
    Slot<LooseSensitiveIndex> &slot = m_looseSensitive;
    if (!slot.loaded) {
        const QString library = readLibrary(Library::Sensitive);
        slot.loaded = !library.isEmpty();
        if (slot.loaded || !slot.index) {
            slot.index =
                std::make_unique<const LooseSensitiveIndex>(library, readLibrary(Library::SensitiveAllowed), m_folding);
        }
    }
    return *slot.index;
}

void WordLibraries::reload(Library library)
{
    const auto again = [this, library](auto &slot) {
        if (!slot.loaded)
            return;
        slot.loaded = false;
        use(slot, library);
    };
    switch (library) {
    case Library::Typos:
        again(m_typos);
        break;
    case Library::Synonyms:
        again(m_synonyms);
        break;
    case Library::Sensitive:
        again(m_sensitive);
        [[fallthrough]];
    case Library::SensitiveAllowed:
        if (m_looseSensitive.loaded) {
            m_looseSensitive.loaded = false;
            looseSensitive();
        }
        break;
    }
}

SynonymFileResult WordLibraries::importSynonyms(const QString &sourcePath, const QDateTime &now)
{
    const SynonymImportCheck check = checkSynonymImport(readTextFile(sourcePath));
    if (!check.ok())
        return {false, check.message, true};
    if (!writeGbkFile(filePath(Library::Synonyms), check.library + u"\r\n"_s))
        return {false, RewriteText::kImportFailed, true};
    // The library is in place either way; a date that cannot be stored only
    // lets the next word-library update offer the server's library again.
    setConfigText(Cfg::vision::SameWord, generalDateText(now));
    return {true, RewriteText::kImported, false};
}

QString WordLibraries::synonymExportRefusal() const
{
    const QFileInfo library(filePath(Library::Synonyms));
    if (!library.exists())
        return RewriteText::kLibraryMissing;
    if (library.size() == 0)
        return RewriteText::kLibraryEmpty;
    return {};
}

SynonymFileResult WordLibraries::exportSynonyms(const QString &targetPath) const
{
    const QString refusal = synonymExportRefusal();
    if (!refusal.isEmpty())
        return {false, refusal, true};
    const QString text = readLibrary(Library::Synonyms);
    if (!writeGbkFile(targetPath, text + u"\r\n"_s))
        return {false, RewriteText::kExportFailed, false};
    return {true, RewriteText::kExported, false};
}

} // namespace zorvane
