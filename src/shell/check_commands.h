#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;

namespace zorvane {

class CommandContext;

// The content checks on the main window: the typo check and the sensitive
// words on the "format" panel, the character count (and Ctrl+T) under the
// editor.
class CheckCommands : public QObject
{
    Q_OBJECT

public:
    explicit CheckCommands(CommandContext &context);

    QPushButton *cmdChkWrong = nullptr;
    QPushButton *cmdBan = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *lblWordNums = nullptr;
    QPushButton *imgChkWordNums = nullptr;

public Q_SLOTS:
    void cmdChkWrong_clicked();
    void cmdBan_clicked();
    void imgChkWordNums_clicked();

private:
    void loadWithPanelDisabled(const std::function<void()> &load);

    CommandContext &m_context;
};

} // namespace zorvane
