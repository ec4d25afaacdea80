#pragma once

#include "rewrite/synonyms.h"

#include <QObject>
#include <QString>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace zorvane {

struct TranslationOutcome;
class ArticleTranslator;
class ClickableLabel;
class CommandContext;

// The script the editor page converts the article to, by the numbers the
// system gives the two directions.
enum class ChineseScript {
    Traditional = 0,
    Simplified = 1,
};

// The pseudo-original ("yc") panel: synonym replacement with the library's
// import and export, the structure shuffle, the one-key pseudo-original
// (also Ctrl+W in the "yc" mode), the simplified/traditional conversion and
// the translation round trip.
class RewriteCommands : public QObject
{
    Q_OBJECT

public:
    explicit RewriteCommands(CommandContext &context);

    // Clicks the editor page's conversion button for script. False when the
    // page did not answer (the user has been told).
    bool convertChineseScript(ChineseScript script);

    QPushButton *cmdReplaceSame = nullptr;
    ClickableLabel *Label2 = nullptr; // import
    ClickableLabel *Label4 = nullptr; // export
    QComboBox *cbRe = nullptr;
    QCheckBox *chkReplaceSame = nullptr;
    QCheckBox *chkChangeOrder = nullptr;
    QPushButton *cmdRe = nullptr;
    QPushButton *cmdOneKeyYC = nullptr;
    QPushButton *cmdSimFan = nullptr;
    QPushButton *cmdZ2Y = nullptr; // its caption names the next translation

public Q_SLOTS:
    void cmdReplaceSame_clicked();
    void Label2_clicked();
    void Label4_clicked();
    void cmdRe_clicked();
    void cmdOneKeyYC_clicked();
    void cmdSimFan_clicked();
    // Starts a translation and returns; the panel stays disabled until it
    // ends.
    void cmdZ2Y_clicked();

private:
    void ShowMsg(const QString &text);
    void setPanelEnabled(bool enabled);
    int level() const;
    // Whole words are asked for and the segmenter's dictionary is not read yet.
    bool needsSegmenter(const SynonymOptions &options) const;
    void translationFinished(const TranslationOutcome &outcome);

    CommandContext &m_context;
    QString m_lastFileName; // what the last file dialog of the panel chose
    ArticleTranslator *m_translator = nullptr;
    QString m_translatedHtml; // the article as it went to the translation
};

} // namespace zorvane
