#pragma once

#include "editor/default_texts.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace zorvane {

class AppFolder;
class EditorSession;

// What the editor holds when the main window opens. Text handed over from
// the browser goes in as it is. Otherwise the start mode's default text,
// fetched from the service server once a day, goes into the editor, unless
// the user has put something there meanwhile (the editor works before the
// server answers). Placing waits for the editor page to answer, for every
// default text asked for, and for any request a command has running on the
// page; then placed() follows, once.
class StartContent : public QObject
{
    Q_OBJECT

public:
    // Asks the service server for a mode's default text; done receives the
    // reply, "" when the fetch failed.
    using FetchText = std::function<void(const QString &mode, std::function<void(const QString &text)> done)>;

    explicit StartContent(EditorSession &session, QObject *parent = nullptr);

    // With text handed over, that is what the editor gets; otherwise the
    // default texts due today are fetched (none without a fetch).
    void start(std::optional<QString> handOffText, const FetchText &fetch);

    bool isPlaced() const { return m_placed; }
    const DefaultTexts &texts() const { return m_texts; }

    // After a change of mode: once the start content is placed, an editor
    // still holding the other mode's default text gets this mode's.
    void modeChanged(const QString &mode);

    // Text handed over while the window is open: it replaces the article, or,
    // while the start content still waits, goes in instead of it. The text
    // box and the preview close first.
    void handOver(const QString &html);

    void setClock(std::function<QDate()> today) { m_today = std::move(today); }

public Q_SLOTS:
    // The editor page answers requests.
    void pageReady();
    // The page's last waiting request ended (connect queued: see
    // WebEditorHost::idle).
    void hostIdle();

Q_SIGNALS:
    void placed();

private:
    void fetch(const FetchText &fetch, const QString &mode, QString DefaultTexts::*text);
    void tryPlace();
    void placeDefaultText();

    EditorSession &m_session;
    std::optional<QString> m_handOffText;
    DefaultTexts m_texts;
    int m_pendingFetches = 0;
    bool m_pageReady = false;
    bool m_placed = false;
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};

// The text left by the browser in "\html\cache.html", taken once: the file
// is taken away whole (takeTextFile), and its text returned when it holds
// more than spaces and line breaks; otherwise nullopt.
std::optional<QString> takeHandOffText(const AppFolder &folder);

} // namespace zorvane
