#include "shell/rewrite_commands.h"

#include "editor/editor_host.h"
#include "editor/editor_texts.h"
#include "rewrite/pseudo_original.h"
#include "rewrite/rewrite_texts.h"
#include "rewrite/synonyms.h"
#include "rewrite/translation.h"
#include "settings/frm_setting.h"
#include "shell/clickable_label.h"
#include "shell/command_context.h"
#include "shell/named_control.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/synonym_library_file.h"
#include "snapshot/word_libraries.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorvane {

RewriteCommands::RewriteCommands(CommandContext &context) : QObject(&context), m_context(context)
{
    QWidget *panel = context.areaWidget(CommandContext::Area::YcPanel);
    cmdReplaceSame = named(new QPushButton(RewriteText::kReplaceSameCaption, panel), u"cmdReplaceSame"_s);
    Label2 = named(new ClickableLabel(RewriteText::kImportCaption, panel), u"Label2"_s);
    Label4 = named(new ClickableLabel(RewriteText::kExportCaption, panel), u"Label4"_s);
    cbRe = named(new QComboBox(panel), u"cbRe"_s);
    chkReplaceSame = named(new QCheckBox(RewriteText::kReplaceSameCaption, panel), u"chkReplaceSame"_s);
    chkChangeOrder = named(new QCheckBox(RewriteText::kShuffleCaption, panel), u"chkChangeOrder"_s);
    cmdRe = named(new QPushButton(RewriteText::kShuffleCaption, panel), u"cmdRe"_s);
    cmdOneKeyYC = named(new QPushButton(RewriteText::kOneKeyCaption, panel), u"cmdOneKeyYC"_s);
    cmdSimFan = named(new QPushButton(RewriteText::kToTraditionalCaption, panel), u"cmdSimFan"_s);
    cmdZ2Y = named(new QPushButton(RewriteText::kZhToEnCaption, panel), u"cmdZ2Y"_s);
    m_translator = new ArticleTranslator(this);

    cbRe->addItems({RewriteText::kChooseStrengthItem, u"20%"_s, u"40%"_s, u"60%"_s, u"80%"_s});
    cbRe->setCurrentIndex(1);
    chkReplaceSame->setChecked(true);
    chkChangeOrder->setChecked(true);
    cmdOneKeyYC->setToolTip(u"Ctrl+W"_s);
    for (ClickableLabel *link : {Label2, Label4}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet(u"color: #0044cc; text-decoration: underline;"_s);
    }

    auto *grid = new QGridLayout;
    auto *library = new QHBoxLayout;
    library->addWidget(cmdReplaceSame, 1);
    library->addWidget(Label2);
    library->addWidget(Label4);
    grid->addLayout(library, 0, 0, 1, 2);
    grid->addWidget(cbRe, 1, 0);
    grid->addWidget(cmdRe, 1, 1);
    grid->addWidget(chkReplaceSame, 2, 0);
    grid->addWidget(chkChangeOrder, 2, 1);
    grid->addWidget(cmdOneKeyYC, 3, 0, 1, 2);
    grid->addWidget(cmdSimFan, 4, 0);
    grid->addWidget(cmdZ2Y, 4, 1);
    context.area(CommandContext::Area::YcPanel)->insertLayout(0, grid);

    connect(cmdReplaceSame, &QPushButton::clicked, this, &RewriteCommands::cmdReplaceSame_clicked);
    connect(Label2, &ClickableLabel::clicked, this, &RewriteCommands::Label2_clicked);
    connect(Label4, &ClickableLabel::clicked, this, &RewriteCommands::Label4_clicked);
    connect(cmdRe, &QPushButton::clicked, this, &RewriteCommands::cmdRe_clicked);
    connect(cmdOneKeyYC, &QPushButton::clicked, this, &RewriteCommands::cmdOneKeyYC_clicked);
    connect(cmdSimFan, &QPushButton::clicked, this, &RewriteCommands::cmdSimFan_clicked);
    connect(cmdZ2Y, &QPushButton::clicked, this, &RewriteCommands::cmdZ2Y_clicked);
    connect(m_translator, &ArticleTranslator::finished, this, &RewriteCommands::translationFinished);
    context.addShortcut(Qt::CTRL | Qt::Key_W, [this] {
        if (m_context.mode() == ModeName::Yc)
            cmdOneKeyYC_clicked();
    });
}

void RewriteCommands::ShowMsg(const QString &text)
{
    m_context.ShowMsg(text, ModeName::Yc);
}

void RewriteCommands::setPanelEnabled(bool enabled)
{
    if (QWidget *frm2 = m_context.areaWidget(CommandContext::Area::YcPanel))
        frm2->setEnabled(enabled);
}

int RewriteCommands::level() const
{
    return cbRe->currentIndex() - 1;
}

void RewriteCommands::cmdReplaceSame_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    const SynonymOptions options = m_context.readSettings().synonyms;
    WordLibraries &libraries = m_context.libraries();
    if (libraries.isLoaded(WordLibraries::Library::Synonyms) && !needsSegmenter(options)) {
        ShowMsg(RewriteText::kReplacing);
    } else {
        ShowMsg(RewriteText::kLoadingLibraryFirstUse);
        setPanelEnabled(false);
        libraries.synonyms();
        const bool segmenterReady = !options.wholeWords || libraries.segmenterFor(options).isLoaded();
        setPanelEnabled(true);
        if (!segmenterReady) {
            m_context.showMessageBox(RewriteText::kSegmenterMissing);
            return;
        }
    }
    const SynonymIndex &library = libraries.synonyms();
    const WordSegmenter &segmenter = libraries.segmenterFor(options);
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    if (m_context.setEditorHtml(replaceSynonyms(*html, library, options, segmenter)))
        ShowMsg(RewriteText::kReplaceFinished);
}

bool RewriteCommands::needsSegmenter(const SynonymOptions &options) const
{
    return options.wholeWords && !m_context.libraries().isSegmenterLoaded();
}

void RewriteCommands::Label2_clicked()
{
    // Cancel hides the hint for good; when that cannot be stored the hint
    // only shows once more next time.
    if (synonymImportHintWanted()
        && !m_context.askOkCancel(RewriteText::kImportHintTitle, RewriteText::kImportHintText))
        hideSynonymImportHint();
    const QString file =
        m_context.chooseOpenFile({RewriteText::kImportDialogTitle, QString(), QString(), EditorText::TextFileFilter});
    if (file.isEmpty())
        return;
    m_lastFileName = file;
    ShowMsg(RewriteText::kImporting);
    const SynonymFileResult result = m_context.libraries().importSynonyms(file);
    if (result.messageBox)
        m_context.showMessageBox(result.message);
    else
        ShowMsg(result.message);
}

void RewriteCommands::Label4_clicked()
{
    const QString file = m_context.chooseSaveFile(
        {RewriteText::kExportDialogTitle, QString(), m_lastFileName, EditorText::TextFileFilter});
    if (file.isEmpty())
        return;
    m_lastFileName = file;
    const QString refusal = m_context.libraries().synonymExportRefusal();
    if (!refusal.isEmpty()) {
        m_context.showMessageBox(refusal);
        return;
    }
    ShowMsg(RewriteText::kExportLoading);
    setPanelEnabled(false);
    const SynonymFileResult result = m_context.libraries().exportSynonyms(file);
    if (result.messageBox)
        m_context.showMessageBox(result.message);
    else
        ShowMsg(result.message);
    setPanelEnabled(true);
}

void RewriteCommands::cmdRe_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    if (cbRe->currentIndex() == 0) {
        m_context.showMessageBox(RewriteText::kChooseStrength);
        cbRe->setFocus();
        return;
    }
    const SettingsSnapshot settings = m_context.readSettings();
    ShowMsg(RewriteText::kShuffling);
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    if (m_context.setEditorHtml(shuffleStructure(*html, level(), settings.format, *QRandomGenerator::global())))
        ShowMsg(RewriteText::kShuffleFinished);
}

void RewriteCommands::cmdOneKeyYC_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    const SettingsSnapshot settings = m_context.readSettings();
    ShowMsg(RewriteText::kOneKeyRunning);
    setPanelEnabled(false);
    const std::optional<QString> html = m_context.getEditorHtml();
    std::optional<QString> result;
    if (html) {
        const PseudoOriginalOptions options{chkReplaceSame->isChecked(), chkChangeOrder->isChecked(), level(),
                                            settings.synonyms};
        WordLibraries &libraries = m_context.libraries();
        const SynonymIndex noLibrary;
        const SynonymIndex *synonyms = &noLibrary;
        bool segmenterReady = true;
        if (options.replaceSynonyms) {
            if (!libraries.isLoaded(WordLibraries::Library::Synonyms) || needsSegmenter(options.synonyms))
                ShowMsg(RewriteText::kLoadingLibraryFirstUse);
            synonyms = &libraries.synonyms();
            segmenterReady = !options.synonyms.wholeWords || libraries.segmenterFor(options.synonyms).isLoaded();
        }
        if (!segmenterReady) {
            m_context.showMessageBox(RewriteText::kSegmenterMissing);
        } else {
            result = oneKeyPseudoOriginal(*html, options, settings.format, *synonyms,
                                          libraries.segmenterFor(options.synonyms), *QRandomGenerator::global(),
                                          [this](const QString &text) { ShowMsg(text); });
            if (!result)
                cbRe->setFocus();
        }
    }
    if (result && m_context.setEditorHtml(*result))
        ShowMsg(RewriteText::kOneKeyFinished);
    setPanelEnabled(true);
}

bool RewriteCommands::convertChineseScript(ChineseScript script)
{
    return m_context.clickEditorElement(script == ChineseScript::Simplified ? EditorElement::ToSimplified
                                                                            : EditorElement::ToTraditional);
}

void RewriteCommands::cmdSimFan_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    ShowMsg(RewriteText::kConverting);
    if (cmdSimFan->text() == RewriteText::kToSimplifiedCaption) {
        if (!convertChineseScript(ChineseScript::Simplified))
            return;
        ShowMsg(RewriteText::kToSimplifiedFinished);
        cmdSimFan->setText(RewriteText::kToTraditionalCaption);
    } else {
        if (!convertChineseScript(ChineseScript::Traditional))
            return;
        ShowMsg(RewriteText::kToTraditionalFinished);
        cmdSimFan->setText(RewriteText::kToSimplifiedCaption);
    }
}

void RewriteCommands::cmdZ2Y_clicked()
{
    if (!m_context.passes(CommandKind::ArticleCommand))
        return;
    if (m_translator->isRunning()) {
        m_context.showMessageBox(RewriteText::kTranslating);
        return;
    }
    // Either answer goes on with the translation; Cancel only retires the
    // warning.
    if (TranslationPanel::warningWanted()
        && !m_context.askOkCancel(QCoreApplication::applicationName(), RewriteText::kTranslationWarning)
        && !TranslationPanel::suppressWarning())
        m_context.showMessageBox(frmSetting::saveFailedMessage());
    ShowMsg(RewriteText::kTranslating);
    const std::optional<QString> html = m_context.getEditorHtml();
    if (!html)
        return;
    m_translatedHtml = *html;
    setPanelEnabled(false);
    m_translator->translateArticle(*html, TranslationPanel::directionOfCaption(cmdZ2Y->text()));
}

void RewriteCommands::translationFinished(const TranslationOutcome &outcome)
{
    bool replaced = false;
    if (!outcome.replacesArticle()) {
        m_context.showMessageBox(outcome.message);
    } else if (m_context.textMode()) {
        // Leaving text mode writes the text box back over the editor.
        m_context.showMessageBox(RewriteText::kTranslationArticleChanged);
    } else if (const std::optional<QString> now = m_context.getEditorHtml()) {
        // The editor stays usable during the wait; an article edited or
        // replaced meanwhile is newer than the translation.
        if (*now != m_translatedHtml)
            m_context.showMessageBox(RewriteText::kTranslationArticleChanged);
        else
            replaced = m_context.setEditorHtml(outcome.text);
    }
    ShowMsg(RewriteText::kTranslationFinished);
    // The caption turns only with the article, or the next click would send
    // it in the wrong language.
    if (replaced)
        cmdZ2Y->setText(TranslationPanel::captionAfter(cmdZ2Y->text(), outcome));
    m_translatedHtml.clear();
    setPanelEnabled(true);
}

} // namespace zorvane
