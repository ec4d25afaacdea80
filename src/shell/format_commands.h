#pragma once

#include <QObject>

class CommandContext;
class QCheckBox;
class QPushButton;

// The one-key format command of the "format" panel (button and Ctrl+G) and
// the two check boxes that mirror the settings "HeadSpace" and "RemoveLink".
class FormatCommands : public QObject
{
    Q_OBJECT

public:
    explicit FormatCommands(CommandContext &context, QObject *parent = nullptr);

    QPushButton *cmdOneKey = nullptr;
    QCheckBox *chkHeadSpace = nullptr;
    QCheckBox *chkHref = nullptr;

private Q_SLOTS:
    void cmdOneKey_clicked();
    void chkHeadSpace_clicked(bool checked);
    void chkHref_clicked(bool checked);

private:
    CommandContext &m_context;
};
