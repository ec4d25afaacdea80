#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zorvane {

// The settings dialog: every option of the settings file that the user edits.
// It loads the file when it opens, is modeless, and deletes itself when
// closed; closing without saving writes nothing.
class frmSetting : public QDialog
{
    Q_OBJECT

public:
    explicit frmSetting(QWidget *parent = nullptr);

    // The owner's settings dialog, brought to the front; a new one, loaded
    // from the file, when none is open. The owner connects to saved() (with
    // Qt::UniqueConnection, as it may get the same dialog again) to follow
    // the options it mirrors.
    static frmSetting *showFor(QWidget *owner);

    // The message texts the dialog shows after cmdOK.
    static QString sizeRequiredMessage();
    static QString savedMessage();
    static QString saveFailedMessage();

Q_SIGNALS:
    // Every option was written; whoever mirrors one of them re-reads it.
    void saved();

private Q_SLOTS:
    void cmdOK_clicked();

private:
    void loadValues();
    void placeBesideParent();

    QGroupBox *Frame1;
    QCheckBox *chkExtBr;
    QCheckBox *chkHeadSpace;
    QRadioButton *opnFullSpace;
    QRadioButton *opnHalfSpace;
    QLineEdit *txtSpaceNum;
    QCheckBox *chkFull;
    QCheckBox *chkPoint;
    QCheckBox *chkWords;
    QRadioButton *opnCheckWords;
    QRadioButton *opnReplaceWords;
    QCheckBox *chkSensitiveLoose; // Format/SensitiveLoose
    QComboBox *cbCjkSpace;        // Format/CjkSpace = list index
    QCheckBox *chkHref;
    QRadioButton *opnSaveWords;
    QRadioButton *opnNoSaveWords;
    QCheckBox *chkExtSpace;
    QCheckBox *chkAutoSign;
    QCheckBox *chkStart;
    QCheckBox *chkEnd;
    QLineEdit *txtSign;

    QGroupBox *Frame4;
    QCheckBox *chkKeyword;
    QComboBox *cbKeyword;
    QLineEdit *txtKeyword;
    QLineEdit *txtLink;
    QComboBox *cbLinkType;
    QCheckBox *chkWholeWords;

    QGroupBox *Frame2;
    QCheckBox *chkSize;
    QLineEdit *txtMaxHeight;
    QLineEdit *txtMaxWidth;
    QCheckBox *chkSmall;
    QComboBox *cbPicStrong;

    QGroupBox *Frame6;
    QRadioButton *opnFormat;
    QRadioButton *opnYc;
    QRadioButton *opnSeo;
    QCheckBox *chkAutoLogin;

    QPushButton *cmdOK;

    QButtonGroup *m_spaceKind;
    QButtonGroup *m_checkWordsType;
    QButtonGroup *m_linkWords;
    QButtonGroup *m_defaultForm;
};

} // namespace zorvane
