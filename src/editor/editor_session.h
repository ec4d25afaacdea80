#pragma once

#include "editor/editor_host.h"
#include "editor/editor_texts.h"
#include "editor/guards.h"
#include "editor/mode_name.h"

#include <QColor>
#include <QDateTime>
#include <QString>

#include <optional>

namespace zorvane {

class EditorView;

// The article being worked on: the editor page behind an EditorHost, the
// preview and text views over it, the current mode of the main window, and
// the commands that act on the article as a whole. Every command of the
// program reaches the article through here:
//
//     if (!session.passes(CommandKind::ArticleCommand))
//         return;
//     const std::optional<QString> html = session.getEditorHtml();
//     if (!html)
//         return;                       // the user has been told; nothing changed
//     session.ShowMsg(u"…"_s);          // status label of the current mode
//     session.setEditorHtml(transform(*html));
class EditorSession
{
public:
    EditorSession(EditorHost &host, EditorView &view);

    EditorHost &host() { return m_host; }
    EditorView &view() { return m_view; }

    QString mode() const { return m_mode; }
    void setMode(const QString &mode) { m_mode = mode; }
    bool previewOn() const { return m_previewOn; }
    bool textMode() const { return m_textMode; }

    // The article; when the page does not answer, the user is told and the
    // result is nullopt, so that the caller changes nothing.
    std::optional<QString> getEditorHtml();
    // False (and the user told) when the page did not take the article.
    bool setEditorHtml(const QString &html);
    // Replaces a whole pasted page in the editor by its article; an article
    // stays as it is. False (and the user told, the editor unchanged) when
    // the page did not answer.
    bool keepArticleOnly();

    // The status label of mode: "format" and "yc" have one, other modes none.
    void ShowMsg(const QString &text, const QString &mode);
    void ShowMsg(const QString &text) { ShowMsg(text, m_mode); }

    bool requireNotSeoMode();
    bool requireNotPreview();
    bool requireNotTextMode();
    // Runs the guards in their fixed order; false at the first refusal.
    bool passes(Guards guards);
    bool passes(CommandKind kind) { return passes(guardsFor(kind)); }

    // The commands of the editor itself, each with its own guards.
    void clear();
    void copyFromEditor();
    void pasteIntoEditor();
    void load();
    void save();
    void toggleTextMode();
    void togglePreview();

    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

private:
    void endPreview();

    EditorHost &m_host;
    EditorView &m_view;
    QString m_mode = ModeName::Format;
    bool m_previewOn = false;
    bool m_textMode = false;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};

// The colours of the preview and text-mode buttons: at rest, and while their
// view is on.
inline const QColor IdleButtonColour{195, 211, 230};
inline const QColor ActiveButtonColour{0, 204, 255};

// Plain text as HTML: "&", '"', "<", ">" escaped (in that order, so that no
// entity is escaped twice) and every line break turned into "<br>".
QString plainTextToHtml(const QString &text);
// The HTML part of what a browser puts on the clipboard: the marked
// fragment, else the body's content, else the text as it is.
QString htmlFromClipboard(const QString &clipboardHtml);
// The proposed name of a saved article: year, month, day, hour, minute and
// second as plain decimal numbers in a row: 2026-12-06 17:03:05 gives
// "20261261735".
QString proposedSaveName(const QDateTime &when);

} // namespace zorvane
