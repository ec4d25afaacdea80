#pragma once

#include <QObject>

class QColor;
class QPushButton;
class QString;

namespace zorvane {

class ClickableLabel;
class CommandContext;

// The editor's own commands: loading and saving a text file, text mode,
// preview and clearing on the row under the editor, copying out and pasting
// in on the "format" and "yc" panels, and their keys (Alt+O, Alt+S, Ctrl+D).
class EditorCommands : public QObject
{
    Q_OBJECT

public:
    explicit EditorCommands(CommandContext &context);

    // The captions and colours the preview and text-mode buttons show for
    // the state of their view.
    void setPreviewButton(const QString &caption, const QColor &colour);
    void setTextModeButton(const QString &caption, const QColor &colour);

    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdText = nullptr;
    ClickableLabel *lblPreView = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCopy1 = nullptr;
    QPushButton *cmdPaste1 = nullptr;
    QPushButton *cmdCopy2 = nullptr;
    QPushButton *cmdPaste2 = nullptr;

private Q_SLOTS:
    void cmdLoad_clicked();
    void cmdSave_clicked();
    void cmdText_clicked();
    void lblPreView_clicked();
    void cmdClear_clicked();
    void cmdCopy1_clicked();
    void cmdPaste1_clicked();
    void cmdCopy2_clicked();
    void cmdPaste2_clicked();

private:
    CommandContext &m_context;
};

} // namespace zorvane
