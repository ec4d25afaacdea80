#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace zorvane {

// A Chinese word segmenter (friso, with its dictionary) that says where the
// words of a text begin and end. Loading reads the dictionary from its files,
// which only the program's owner of the word libraries does; segmenting is
// then read-only: the dictionary and the settings are shared, each call works
// on a task of its own, so any number of threads may segment with one
// segmenter at once. A segmenter that is not loaded knows no words and puts
// no boundary anywhere.
class WordSegmenter
{
public:
    WordSegmenter();
    ~WordSegmenter();
    WordSegmenter(const WordSegmenter &) = delete;
    WordSegmenter &operator=(const WordSegmenter &) = delete;

    // The dictionary folder Debian's friso-dict installs (UTF-8 lexicons and
    // their friso.lex.ini).
    static QString systemDictionary();

    // Loads the dictionary of folder dictionaryDir; a segmenter that is not
    // loaded, with the reason in error, when its files are missing or hold
    // no words.
    static std::unique_ptr<const WordSegmenter> load(const QString &dictionaryDir, QString *error = nullptr);

    bool isLoaded() const { return m_friso != nullptr; }

    // Every position of text (UTF-16 units, ascending, without repeats) at
    // which a word begins or ends. The ends of the text count whenever it is
    // not empty; nothing when the segmenter is not loaded.
    std::vector<qsizetype> boundaries(QStringView text) const;

private:
    struct Friso;
    std::unique_ptr<Friso> m_friso;
};

} // namespace zorvane
