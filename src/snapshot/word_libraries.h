#pragma once

#include "checks/loose_sensitive.h"
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "format/format_html.h"
#include "rewrite/synonym_index.h"
#include "rewrite/synonyms.h"
#include "rewrite/word_segmenter.h"
#include "snapshot/synonym_library_file.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace zorvane {

// The word libraries of one run of a program, owned by the program (the
// main window's commands or zorvane-cli). Each is read from its file under
// the application folder at its first use, prepared for its routine once,
// and handed to the logic as a const reference, which stays valid until the
// same library is read again. A missing or empty file leaves its library
// unloaded, an empty one is handed out, and the next use reads the file
// again. Every file of the libraries is read and written here.
class WordLibraries
{
public:
    enum class Library {
        Typos,     // "\data\error.dat"
        Synonyms,  // "\data\same.dat"
        Sensitive, // "\data\hexie.dat"
        // "\data\hexie_allow.dat": words within which a sensitive word is
        // no finding of the loose check (one a line, GBK; may be empty)
        SensitiveAllowed,
    };

    // The libraries of the application folder current when each is read.
    WordLibraries() = default;
    WordLibraries(const WordLibraries &) = delete;
    WordLibraries &operator=(const WordLibraries &) = delete;

    static QString systemPath(Library library);
    QString filePath(Library library) const;

    bool isLoaded(Library library) const;
    const TypoIndex &typos();
    const SynonymIndex &synonyms();
    const SensitiveIndex &sensitive();
    // The sensitive-word library with its allow-list, read to see through
    // disguise; traditional forms are folded with OpenCC's characters, read
    // once per run. Loaded when the sensitive-word library is.
    const LooseSensitiveIndex &looseSensitive();
    // Why traditional forms are not folded (OpenCC's data could not be
    // read), or empty; known once looseSensitive() was built.
    QString traditionalCharsError() const { return m_traditionalError; }
    // What a formatting run of this mode with these options is given: the
    // typo library when the run checks typos, else an empty one, leaving the
    // library unloaded (its first use still reports itself).
    const TypoIndex &typosFor(FormatMode mode, const FormatOptions &options);

    // The word segmenter for whole-word synonyms, its dictionary loaded at
    // the first call; one that cannot be loaded finds no words, and says why
    // in segmenterError().
    const WordSegmenter &segmenter();
    // What a synonym exchange with these options is given: the segmenter for
    // whole words, else one that is not loaded (and never used), leaving the
    // dictionary unread.
    const WordSegmenter &segmenterFor(const SynonymOptions &options);
    bool isSegmenterLoaded() const { return m_segmenter && m_segmenter->isLoaded(); }
    QString segmenterError() const { return m_segmenterError; }
    // The segmenter's dictionary folder: the system's unless set before the
    // first call.
    void setSegmenterDictionary(const QString &dir) { m_segmenterDictionary = dir; }

    // The library's file was replaced while the program runs (the service
    // checks store newer libraries): a loaded library reads it again now, an
    // unloaded one at its first use anyway.
    void reload(Library library);

    // The synonym library's import and export (the window asks for the file
    // names and shows what these return). An import replaces the file and
    // stamps Cfg::vision::SameWord with now; the library in memory stays as
    // it is for the rest of the run.
    SynonymFileResult importSynonyms(const QString &sourcePath, const QDateTime &now = QDateTime::currentDateTime());
    // Why the library cannot be exported at all (a message-box text), or empty.
    QString synonymExportRefusal() const;
    // Writes the library to targetPath, followed by CR LF.
    SynonymFileResult exportSynonyms(const QString &targetPath) const;

private:
    template <typename Index>
    struct Slot
    {
        bool loaded = false;
        std::unique_ptr<const Index> index;
    };

    template <typename Index>
    const Index &use(Slot<Index> &slot, Library library);
    QString readLibrary(Library library) const;

    const TypoIndex m_noTypos;
    Slot<TypoIndex> m_typos;
    Slot<SynonymIndex> m_synonyms;
    Slot<SensitiveIndex> m_sensitive;
    // Loaded once a run: a missing dictionary is not looked for again.
    std::unique_ptr<const WordSegmenter> m_segmenter;
    const WordSegmenter m_noSegmenter;
    QString m_segmenterError;
    QString m_segmenterDictionary = WordSegmenter::systemDictionary();
    Slot<LooseSensitiveIndex> m_looseSensitive;
    std::shared_ptr<const CharFolding> m_folding; // built once, with OpenCC's characters
    QString m_traditionalError;
};

} // namespace zorvane
