#pragma once

#include <QColor>
#include <QString>

namespace zorvane {

// A file dialog as the editor asks for it.
struct FileChoice
{
    QString title;
    QString folder;
    QString fileName;
    QString filter; // Qt form: "caption(*.ext)"
};

// The main window as the editor's commands need it: the places the article
// is shown in (the editor, the preview over it, the text box over it), the
// status labels, message boxes, questions and file dialogs. The window
// implements it; tests use testsupport's RecordingView, which shows nothing.
class EditorView
{
public:
    virtual ~EditorView() = default;

    // A modal box with one OK button and the program's title.
    virtual void showMessageBox(const QString &text) = 0;
    // A modal question with title and the buttons OK and Cancel; true on OK.
    virtual bool askOkCancel(const QString &title, const QString &text) = 0;
    // The action label of the "format" panel (lblFormatAction) or of the
    // "yc" panel (lblYcAction).
    virtual void setFormatActionText(const QString &text) = 0;
    virtual void setYcActionText(const QString &text) = 0;

    // The chosen path, or "" when the user cancelled.
    virtual QString chooseOpenFile(const FileChoice &choice) = 0;
    virtual QString chooseSaveFile(const FileChoice &choice) = 0;

    // The read-only preview over the editor (webPre): shown holding html, or
    // hidden and emptied.
    virtual void showPreview(const QString &html) = 0;
    virtual void hidePreview() = 0;
    virtual void setPreviewButton(const QString &caption, const QColor &colour) = 0;

    // The plain-text box over the editor (webText).
    virtual void showTextBox(const QString &text) = 0;
    virtual void hideTextBox() = 0;
    virtual QString textBoxText() const = 0;
    virtual void setTextBoxText(const QString &text) = 0;
    virtual void setTextModeButton(const QString &caption, const QColor &colour) = 0;
};

} // namespace zorvane
