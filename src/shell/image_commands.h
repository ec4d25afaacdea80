#pragma once

#include <QObject>

class QPushButton;

namespace zorvane {

class CommandContext;

// The image compression command of the main window.
class ImageCommands : public QObject
{
    Q_OBJECT

public:
    explicit ImageCommands(CommandContext &context);

    QPushButton *cmdRePic = nullptr;

private Q_SLOTS:
    void cmdRePic_clicked();

private:
    CommandContext &m_context;
};

} // namespace zorvane
