#pragma once

#include <QString>

namespace zorvane {

class ScratchDocument;

// The plain text of an element as a browser's innerText getter renders it:
// hidden elements (head, script, style, template, hidden attribute, inline
// display:none, ...) are skipped, white space collapses outside pre-formatted
// text, block boxes get one line break around them and paragraphs two, br is
// a line break, table cells are separated by a tab and rows by a line break.
// The styles considered are the browser's default ones, the document's own
// style elements (see style_sheet.h) and style attributes; text written by
// scripts never appears. Every line break is written as CR LF.
QString innerText(const ScratchDocument &document, int element);

// The body's innerText of html loaded into a fresh scratch document.
QString htmlToInnerText(const QString &html);

} // namespace zorvane
