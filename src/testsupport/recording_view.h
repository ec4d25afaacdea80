#pragma once

#include "editor/editor_view.h"

#include <QColor>
#include <QList>
#include <QStringList>

namespace zorvane {

// The main window's surfaces as the editor and the commands see them,
// recorded instead of shown: every message, question, status text and file
// dialog in order, and what the preview and the text box hold. File dialogs
// answer with chosenPath ("" is Cancel), questions with answer.
class RecordingView : public EditorView
{
public:
    // The answers.
    QString chosenPath;
    bool answer = true;

    // What the window was told, in order.
    QStringList messages;      // message boxes
    QStringList questions;     // each question as "title|text"
    QStringList formatTexts;   // lblFormatAction
    QStringList ycTexts;       // lblYcAction
    QList<FileChoice> choices; // open and save dialogs

    // What the status labels show now.
    QString formatAction() const { return formatTexts.isEmpty() ? QString() : formatTexts.last(); }
    QString ycAction() const { return ycTexts.isEmpty() ? QString() : ycTexts.last(); }

    // The views over the editor and their buttons.
    bool previewShown = false;
    QString previewHtml;
    QString previewCaption;
    QColor previewColour;
    bool textBoxShown = false;
    QString textBox;
    QString textCaption;
    QColor textColour;

    void showMessageBox(const QString &text) override;
    bool askOkCancel(const QString &title, const QString &text) override;
    void setFormatActionText(const QString &text) override;
    void setYcActionText(const QString &text) override;
    QString chooseOpenFile(const FileChoice &choice) override;
    QString chooseSaveFile(const FileChoice &choice) override;
    void showPreview(const QString &html) override;
    void hidePreview() override;
    void setPreviewButton(const QString &caption, const QColor &colour) override;
    void showTextBox(const QString &text) override;
    void hideTextBox() override;
    QString textBoxText() const override;
    void setTextBoxText(const QString &text) override;
    void setTextModeButton(const QString &caption, const QColor &colour) override;
};

} // namespace zorvane
