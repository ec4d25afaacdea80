#pragma once

#include <QDate>
#include <QString>

namespace zorvane {

class EditorSession;

// The texts the service server offers once a day as the editor's start-up
// content of the "format" and the "yc" mode; empty when not fetched today.
struct DefaultTexts
{
    QString format;
    QString yc;
};

// Same text: equal character by character.
bool chkSame(const QString &a, const QString &b);

// Whether the default text whose last showing is stored as stored (a date
// text of Cfg::Form::ShowDefault or ShowDefaultYC) is to be fetched today:
// when nothing is stored or it was not shown today.
bool defaultTextDue(const QString &stored, const QDate &today);
QString defaultTextDate(const QDate &day);

// After the mode has changed to mode: when the editor still holds exactly
// the other mode's default text, this mode's default text replaces it and
// today is remembered as the day it was shown.
void applyModeDefaultText(EditorSession &session, const QString &mode, const DefaultTexts &texts, const QDate &today);

} // namespace zorvane
