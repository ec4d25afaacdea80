#pragma once

#include <QObject>

class QPushButton;

namespace zorvane {

class CommandContext;

// The one-key format command of the "format" panel (button and Ctrl+G). The
// format options beside it are the settings' check boxes (SettingsCommands);
// with "只保留正文" ticked, a whole pasted page is first cut down to its
// article.
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
