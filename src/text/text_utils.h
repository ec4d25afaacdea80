#pragma once

#include <QByteArray>
#include <QString>

namespace zorvane {

// Small stateless string routines shared by the formatting pipeline, the
// rewriting commands, the checks and the network parsers. Positions and
// lengths count UTF-16 units. Regular expressions use the system's dialect
// (see system_regex.h).

// Whether text holds word at `at`, compared as the pattern engine compares
// letters without case: an ASCII letter matches its other case, and "k" and
// "s" also the Kelvin sign and the long s. `word` is lower-case ASCII. For
// the readers that find in one pass what a pattern found.
bool caselessAt(QStringView text, qsizetype at, QLatin1StringView word);
// The first such place at or after `from`, or -1.
qsizetype caselessIndexOf(QStringView text, QLatin1StringView word, qsizetype from = 0);

// Regular expressions
QString regexReplace(const QString &text, const QString &pattern, const QString &replacement);
QString regexConcat(const QString &text, const QString &pattern);
// The title search's hits, joined by "|||": every match of
// "<span>.+?\</span>", or every cell of the full-text page. maxRows (when
// positive) stops the collecting once splitting the result on "|||" gives
// that many rows, and the result holds those rows only; maxLength (when
// positive) stops it once the result is that long, the last piece cut there
// (cells may hold each other, so that their sum grows in the square of the
// page).
QString collectSpans(const QString &text, qsizetype maxRows = -1, qsizetype maxLength = -1);
QString collectTextCells(const QString &text, qsizetype maxRows = -1, qsizetype maxLength = -1);
QString lowercaseTagNames(const QString &html);

// HTML to text
QString stripHtml(const QString &html);
QString htmlToParagraphs(const QString &html);

// White space and width
QString YTrim(const QString &text);
// Blanks (U+0020) off both ends and nothing else, as the scripting runtime's
// Trim does: tabs, line breaks and wide spaces stay.
QStringView trimBlanks(QStringView text);
QString fullToHalfWidth(const QString &text);

// Counting and addresses
int FindStrNums(const QString &text, const QString &key);
QString FormatUrl(const QString &url);

// Entities and encodings
QString htmlDecode(QString text);
QString urlEncodeGbk(const QString &text);
QString urlEncodeUtf8(const QString &text);
QString decodeUtf8(const QByteArray &bytes);
QByteArray toByteString(const QString &text);
QString removeBetween(const QString &text, const QString &startMarker, const QString &endMarker);

// Settings text as a number: 0 when empty or not a number, otherwise floored.
int toInt(const QString &text);

} // namespace zorvane
