#include "editor/default_texts.h"

#include "editor/editor_session.h"
#include "settings/config_keys.h"

using namespace Qt::StringLiterals;

namespace zorvane {

bool chkSame(const QString &a, const QString &b)
{
    return a == b;
}

QString defaultTextDate(const QDate &day)
{
    return day.toString(u"yyyy-MM-dd"_s);
}

bool defaultTextDue(const QString &stored, const QDate &today)
{
    const QString trimmed = stored.trimmed();
    if (trimmed.isEmpty())
        return true;
    // Older settings files hold the date in the Windows short form.
    for (const QString &format : {u"yyyy-MM-dd"_s, u"yyyy-M-d"_s, u"yyyy/M/d"_s}) {
        const QDate day = QDate::fromString(trimmed, format);
        if (day.isValid())
            return day.daysTo(today) != 0;
    }
    return true;
}

void applyModeDefaultText(EditorSession &session, const QString &mode, const DefaultTexts &texts, const QDate &today)
{
    const bool format = mode == ModeName::Format;
    if (!format && mode != ModeName::Yc)
        return;
    const QString &mine = format ? texts.format : texts.yc;
    const QString &other = format ? texts.yc : texts.format;
    if (mine.isEmpty())
        return;
    // A quiet read: switching modes must work even when the page is slow.
    const std::optional<QString> current = getEditorHtml(session.host());
    if (!current || !chkSame(*current, other))
        return;
    // A day that cannot be stored only means the text is offered again at the
    // next start.
    if (session.setEditorHtml(mine))
        setConfigText(format ? Cfg::Form::ShowDefault : Cfg::Form::ShowDefaultYC, defaultTextDate(today));
}

} // namespace zorvane
