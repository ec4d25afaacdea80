#pragma once

#include <QString>

namespace zorvane {

// A word library kept in memory for the whole run: the complete text of its
// file under the application folder, read on first use. An empty text means
// "not loaded yet", so a missing or empty file is simply read again at the
// next use.
class WordLibrary
{
public:
    explicit WordLibrary(QString systemPath) : m_systemPath(std::move(systemPath)) {}

    bool isLoaded() const { return !m_text.isEmpty(); }
    const QString &text() const { return m_text; }
    QString systemPath() const { return m_systemPath; }

    // Reads the file from the current application folder unless already loaded.
    const QString &load();
    // Forgets the text, so that the next load() reads the file again.
    void unload() { m_text.clear(); }

private:
    QString m_systemPath;
    QString m_text;
};

// The libraries of this run.
WordLibrary &typoLibrary();      // "\data\error.dat"
WordLibrary &synonymLibrary();   // "\data\same.dat"
WordLibrary &sensitiveLibrary(); // "\data\hexie.dat"

} // namespace zorvane
