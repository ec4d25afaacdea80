#include "testsupport/recording_view.h"

namespace zorvane {

void RecordingView::showMessageBox(const QString &text)
{
    messages.append(text);
}

bool RecordingView::askOkCancel(const QString &title, const QString &text)
{
    questions.append(title + u'|' + text);
    return answer;
}

void RecordingView::setFormatActionText(const QString &text)
{
    formatTexts.append(text);
}

void RecordingView::setYcActionText(const QString &text)
{
    ycTexts.append(text);
}

QString RecordingView::chooseOpenFile(const FileChoice &choice)
{
    choices.append(choice);
    return chosenPath;
}

QString RecordingView::chooseSaveFile(const FileChoice &choice)
{
    choices.append(choice);
    return chosenPath;
}

void RecordingView::showPreview(const QString &html)
{
    previewShown = true;
    previewHtml = html;
}

void RecordingView::hidePreview()
{
    previewShown = false;
    previewHtml.clear();
}

void RecordingView::setPreviewButton(const QString &caption, const QColor &colour)
{
    previewCaption = caption;
    previewColour = colour;
}

void RecordingView::showTextBox(const QString &text)
{
    textBoxShown = true;
    textBox = text;
}

void RecordingView::hideTextBox()
{
    textBoxShown = false;
}

QString RecordingView::textBoxText() const
{
    return textBox;
}

void RecordingView::setTextBoxText(const QString &text)
{
    textBox = text;
}

void RecordingView::setTextModeButton(const QString &caption, const QColor &colour)
{
    textCaption = caption;
    textColour = colour;
}

} // namespace zorvane
