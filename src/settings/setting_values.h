#pragma once

#include <QString>

namespace zorvane {

// The options the settings dialog edits, as one value: read from the settings
// file when the dialog opens and written back in one save.
struct SettingValues
{
    // Section "Format"
    bool extBr = false;
    bool headSpace = false;
    bool fullSpace = false; // "SpaceStr": ideographic space instead of &nbsp;
    int spaceNum = 0;
    bool full = false;
    bool point = false;
    bool checkWords = false;
    bool markTypos = false; // "CheckWordsType": mark in red instead of replacing
    bool removeLink = false;
    bool saveWords = false;
    bool extSpace = false;
    bool autoSign = false;
    bool signAtStart = false;
    bool signAtEnd = false;
    QString sign;
    bool sensitiveLoose = false; // the sensitive-word check sees through disguise
    int cjkSpace = 0;            // blanks between Chinese and Latin: 0 as they are, 1 one, 2 none

    // Section "YC"
    bool keyword = false;
    int keywordStrong = 0; // 0 = no density chosen, else percent
    QString keywordStr;
    QString linkUrl;
    int linkType = 0;        // 0 = same window, 1 = new window
    bool wholeWords = false; // synonyms exchanged only as whole words

    // Section "ResizePic"
    bool resize = false;
    int maxHeight = 0;
    int maxWidth = 0;
    bool small = false;
    int strong = 0; // 0 = not chosen, 1 low, 2 medium, 3 high

    // Section "Default": 1 format, 2 yc, 3 seo; 0 = none chosen
    int defaultForm = 0;

    // Section "login"
    bool autoLogin = false;

    bool operator==(const SettingValues &) const = default;
};

// Highest stored index of each list; a stored value outside 0..max loads as 0.
inline constexpr int KeywordStrongMax = 20;
inline constexpr int LinkTypeMax = 1;
inline constexpr int StrongMax = 3;
inline constexpr int CjkSpaceMax = 2;

// The largest number the number fields store.
inline constexpr int NumberFieldMax = 32767;

// Reads every option from the settings file. Flags other than 1 load as off,
// list indices outside their list as 0, a default view other than 1..3 as 0.
SettingValues loadSettingValues();

// A number field's text as it is stored: toInt of the text, held to
// 0..NumberFieldMax, so letters give 0.
int numberFieldValue(const QString &text);

enum class SettingsSaveResult {
    Saved,
    SizeRequired, // shrinking chosen without a maximum height or width; nothing written
    WriteFailed,  // the settings file could not be written
};

// Writes every option: section "ResizePic", then "Format", "YC", the option
// pairs of "Format", "Default" (only when a view is chosen) and "login".
// Numbers are held to 0..NumberFieldMax. Stops at the first write that fails.
SettingsSaveResult saveSettingValues(const SettingValues &values);

} // namespace zorvane
