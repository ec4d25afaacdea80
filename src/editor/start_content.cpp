#include "editor/start_content.h"

#include "editor/editor_session.h"
#include "settings/app_folder.h"
#include "settings/config_keys.h"
#include "text/text_file.h"

using namespace Qt::StringLiterals;

namespace zorvane {

StartContent::StartContent(EditorSession &session, QObject *parent) : QObject(parent), m_session(session)
{}

void StartContent::start(std::optional<QString> handOffText, const FetchText &fetchText)
{
    m_handOffText = std::move(handOffText);
    if (!m_handOffText && fetchText) {
        const QDate today = m_today();
        if (defaultTextDue(configText(Cfg::Form::ShowDefault), today))
            fetch(fetchText, ModeName::Format, &DefaultTexts::format);
        if (defaultTextDue(configText(Cfg::Form::ShowDefaultYC), today))
            fetch(fetchText, ModeName::Yc, &DefaultTexts::yc);
    }
    tryPlace();
}

void StartContent::fetch(const FetchText &fetchText, const QString &mode, QString DefaultTexts::*text)
{
    ++m_pendingFetches;
    fetchText(mode, [this, text](const QString &reply) {
        m_texts.*text = reply;
        --m_pendingFetches;
        tryPlace();
    });
}

void StartContent::pageReady()
{
    m_pageReady = true;
    tryPlace();
}

void StartContent::hostIdle()
{
    tryPlace();
}

void StartContent::tryPlace()
{
    if (m_placed || !m_pageReady || m_pendingFetches > 0)
        return;
    // A command is talking to the page; hostIdle() comes back when it is done.
    if (m_session.host().isBusy())
        return;
    m_placed = true;
    if (m_handOffText) {
        m_session.setEditorHtml(*m_handOffText);
        m_handOffText.reset();
    } else {
        placeDefaultText();
    }
    Q_EMIT placed();
}

void StartContent::placeDefaultText()
{
    const QString mode = m_session.mode();
    const QDate today = m_today();
    applyModeDefaultText(m_session, mode, m_texts, today);
    const bool yc = mode == ModeName::Yc;
    const QString &text = yc ? m_texts.yc : m_texts.format;
    // A quiet read: what the user put there meanwhile is never replaced.
    const std::optional<QString> current = getEditorHtml(m_session.host());
    // Shown once a day: remember the day it was shown. A day that cannot be
    // stored only means the text is offered again at the next start.
    if (!text.isEmpty() && current && current->isEmpty() && m_session.setEditorHtml(text))
        setConfigText(yc ? Cfg::Form::ShowDefaultYC : Cfg::Form::ShowDefault, defaultTextDate(today));
}

void StartContent::modeChanged(const QString &mode)
{
    if (m_placed)
        applyModeDefaultText(m_session, mode, m_texts, m_today());
}

void StartContent::handOver(const QString &html)
{
    // The text goes where the user sees it: a text box left open would write
    // its old text back over it when closed.
    if (m_session.textMode())
        m_session.toggleTextMode();
    else if (m_session.previewOn())
        m_session.togglePreview();
    if (m_placed) {
        m_session.setEditorHtml(html);
        return;
    }
    m_handOffText = html;
    tryPlace();
}

std::optional<QString> takeHandOffText(const AppFolder &folder)
{
    // Taken whole: text the helper leaves while this runs is not emptied away
    // unread. A file that cannot be moved only hands the same text over once
    // more at the next start.
    std::optional<QString> text = takeTextFile(folder.path(u"\\html\\cache.html"));
    if (!text)
        return std::nullopt;
    QString probe = text->trimmed();
    if (probe.remove(u"\r\n"_s).isEmpty())
        return std::nullopt;
    return text;
}

} // namespace zorvane
