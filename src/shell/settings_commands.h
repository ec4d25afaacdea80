#pragma once

#include <QObject>

class QCheckBox;

namespace zorvane {

class ClickableLabel;
class CommandContext;

// The main window's share of the settings: the format options it mirrors
// as check boxes (each click stores the option at once) and the link that
// opens the settings dialog.
class SettingsCommands : public QObject
{
    Q_OBJECT

public:
    explicit SettingsCommands(CommandContext &context);

    QCheckBox *chkHeadSpace = nullptr;
    QCheckBox *chkHref = nullptr;
    QCheckBox *chkArticle = nullptr;
    ClickableLabel *lblSetting = nullptr;

private Q_SLOTS:
    void chkHeadSpace_clicked(bool checked);
    void chkHref_clicked(bool checked);
    void chkArticle_clicked(bool checked);
    void lblSetting_clicked();
    // After the dialog saved: show what the file now holds.
    void readOptions();

private:
    CommandContext &m_context;
};

} // namespace zorvane
