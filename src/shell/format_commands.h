#pragma once

#include <QObject>

class QPushButton;

namespace zorvane {

class CommandContext;

// The one-key format command of the "format" panel (button and Ctrl+G). The
// two format options beside it are the settings' check boxes
// (SettingsCommands).
class FormatCommands : public QObject
{
    Q_OBJECT

public:
    explicit FormatCommands(CommandContext &context);

    QPushButton *cmdOneKey = nullptr;

private Q_SLOTS:
    void cmdOneKey_clicked();

private:
    CommandContext &m_context;
};

} // namespace zorvane
