#pragma once

#include "checks/cjk_spacing.h"

#include <QString>

namespace zorvane {

// The keyword of the one-key pseudo-original (section "YC"), inserted and
// linked by the formatting run of mode 2.
struct KeywordOptions
{
    bool insert = false; // YC/Keyword
    int density = 0;     // YC/KeywordStrong: percent, used only from 1 to 20
    QString word{};      // YC/KeywordStr
    QString linkUrl{};   // YC/LinkUrl: blank gives no link
    int linkType = 0;    // YC/LinkType: 0 same window, 1 new window, else no link
};

// The options of the formatting pipeline, as a command read them from the
// settings at its start. Every member defaults to what a missing setting
// means, so a default-constructed value switches every optional step off.
// (Every member has an initializer, so that a value can name only the members
// it sets: FormatOptions{.headSpace = true, .spaceNum = 2}.)
struct FormatOptions
{
    // Format/ArticleOnly: one-key format first keeps only the article of a
    // whole pasted page. The editor page does that, so the command runs it
    // before the pipeline.
    bool articleOnly = false;
    bool removeLink = false; // Format/RemoveLink
    bool saveWords = false;  // Format/SaveWords other than 0: removed links keep their words
    KeywordOptions keyword{};
    bool full = false;        // Format/Full: full-width letters and digits to ASCII
    bool extBr = false;       // Format/ExtBr: doubled line breaks collapsed
    bool autoSign = false;    // Format/AutoSign
    QString sign{};           // Format/Sign
    bool signAtStart = false; // Format/Start
    bool signAtEnd = false;   // Format/End
    bool extSpace = false;    // Format/ExtSpace: spaces removed from paragraphs
    bool headSpace = false;   // Format/HeadSpace: paragraphs indented
    int spaceNum = 0;         // Format/SpaceNum: indentation characters
    bool fullSpace = false;   // Format/SpaceStr: indent with "　" instead of "&nbsp;"
    bool point = false;       // Format/Point: the punctuation routine (mode 1)
    // Format/CjkSpace: the blanks between Chinese and Latin text, set after
    // the punctuation routine (mode 1)
    CjkSpacing cjkSpace = CjkSpacing::Leave;
    bool checkWords = false; // Format/CheckWords: the typo check (mode 1)
};

} // namespace zorvane
