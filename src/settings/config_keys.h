#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace zorvane {

// Every section and key of the settings file, each named once here. Values
// are read from the file at every call (nothing is cached) and nothing
// writes a default: a missing key reads as 0 or the empty string.

enum class ConfigKind {
    Flag,    // "1" on, "0" off; anything but 1 reads as off
    Integer, // decimal text, read through toInt
    Text,    // as stored
};

struct ConfigKey
{
    QStringView section;
    QStringView key;
    ConfigKind kind;

    QString sectionName() const { return section.toString(); }
    QString keyName() const { return key.toString(); }

    // The same key of the same section (the kind only says how it is read).
    friend bool operator==(const ConfigKey &a, const ConfigKey &b) { return a.section == b.section && a.key == b.key; }
};

namespace Cfg {

namespace Format {
inline constexpr ConfigKey ExtBr{u"Format", u"ExtBr", ConfigKind::Flag};
inline constexpr ConfigKey HeadSpace{u"Format", u"HeadSpace", ConfigKind::Flag};
inline constexpr ConfigKey SpaceNum{u"Format", u"SpaceNum", ConfigKind::Integer};
inline constexpr ConfigKey SpaceStr{u"Format", u"SpaceStr", ConfigKind::Flag};
inline constexpr ConfigKey Full{u"Format", u"Full", ConfigKind::Flag};
inline constexpr ConfigKey Point{u"Format", u"Point", ConfigKind::Flag};
inline constexpr ConfigKey CheckWords{u"Format", u"CheckWords", ConfigKind::Flag};
inline constexpr ConfigKey CheckWordsType{u"Format", u"CheckWordsType", ConfigKind::Flag};
inline constexpr ConfigKey RemoveLink{u"Format", u"RemoveLink", ConfigKind::Flag};
inline constexpr ConfigKey SaveWords{u"Format", u"SaveWords", ConfigKind::Flag};
inline constexpr ConfigKey ExtSpace{u"Format", u"ExtSpace", ConfigKind::Flag};
inline constexpr ConfigKey AutoSign{u"Format", u"AutoSign", ConfigKind::Flag};
inline constexpr ConfigKey Start{u"Format", u"Start", ConfigKind::Flag};
inline constexpr ConfigKey End{u"Format", u"End", ConfigKind::Flag};
inline constexpr ConfigKey Sign{u"Format", u"Sign", ConfigKind::Text};
// Keep only the article of a whole pasted page before one-key format.
inline constexpr ConfigKey ArticleOnly{u"Format", u"ArticleOnly", ConfigKind::Flag};
// 1 = the sensitive-word check sees through disguise: signs between the
// characters of a word, width, case and traditional forms; an allow-list.
inline constexpr ConfigKey SensitiveLoose{u"Format", u"SensitiveLoose", ConfigKind::Flag};
// The blanks between CJK characters and Latin letters or digits in one-key
// format: 0 left alone, 1 exactly one, 2 none.
inline constexpr ConfigKey CjkSpace{u"Format", u"CjkSpace", ConfigKind::Integer};
} // namespace Format

namespace YC {
inline constexpr ConfigKey Keyword{u"YC", u"Keyword", ConfigKind::Flag};
inline constexpr ConfigKey KeywordStrong{u"YC", u"KeywordStrong", ConfigKind::Integer};
inline constexpr ConfigKey KeywordStr{u"YC", u"KeywordStr", ConfigKind::Text};
inline constexpr ConfigKey LinkUrl{u"YC", u"LinkUrl", ConfigKind::Text};
inline constexpr ConfigKey LinkType{u"YC", u"LinkType", ConfigKind::Integer};
inline constexpr ConfigKey ShowHelp{u"YC", u"ShowHelp", ConfigKind::Flag};
// Exchange synonyms only where they stand as words of the article's text.
inline constexpr ConfigKey WholeWords{u"YC", u"WholeWords", ConfigKind::Flag};
} // namespace YC

namespace ResizePic {
inline constexpr ConfigKey Resize{u"ResizePic", u"Resize", ConfigKind::Flag};
inline constexpr ConfigKey MaxHeight{u"ResizePic", u"MaxHeight", ConfigKind::Integer};
inline constexpr ConfigKey MaxWidth{u"ResizePic", u"MaxWidth", ConfigKind::Integer};
inline constexpr ConfigKey Small{u"ResizePic", u"Small", ConfigKind::Flag};
inline constexpr ConfigKey Strong{u"ResizePic", u"Strong", ConfigKind::Integer};
} // namespace ResizePic

namespace Default {
inline constexpr ConfigKey Form{u"Default", u"Form", ConfigKind::Integer};
inline constexpr ConfigKey ShowHelp{u"Default", u"ShowHelp", ConfigKind::Flag};
} // namespace Default

namespace Form {
inline constexpr ConfigKey ShowDefault{u"Form", u"ShowDefault", ConfigKind::Text};
inline constexpr ConfigKey ShowDefaultYC{u"Form", u"ShowDefaultYC", ConfigKind::Text};
} // namespace Form

namespace login {
inline constexpr ConfigKey AutoLogin{u"login", u"AutoLogin", ConfigKind::Flag};
inline constexpr ConfigKey RemberPassword{u"login", u"RemberPassword", ConfigKind::Flag};
} // namespace login

namespace vision {
inline constexpr ConfigKey vision{u"vision", u"vision", ConfigKind::Text};
inline constexpr ConfigKey update{u"vision", u"update", ConfigKind::Text};
inline constexpr ConfigKey ErrorWord{u"vision", u"ErrorWord", ConfigKind::Text};
inline constexpr ConfigKey ErrorWordNums{u"vision", u"ErrorWordNums", ConfigKind::Integer};
inline constexpr ConfigKey SameWord{u"vision", u"SameWord", ConfigKind::Text};
inline constexpr ConfigKey SameWordNums{u"vision", u"SameWordNums", ConfigKind::Integer};
} // namespace vision

// Where the outside servers are ("host" or "host:port"; net/servers.h reads
// them with their built-in defaults) and how long any exchange may take.
namespace Servers {
inline constexpr ConfigKey Forum{u"Servers", u"Forum", ConfigKind::Text};
inline constexpr ConfigKey Avatar{u"Servers", u"Avatar", ConfigKind::Text};
inline constexpr ConfigKey Service{u"Servers", u"Service", ConfigKind::Text};
inline constexpr ConfigKey Relay{u"Servers", u"Relay", ConfigKind::Text};
inline constexpr ConfigKey Translate{u"Servers", u"Translate", ConfigKind::Text};
inline constexpr ConfigKey TranslateAddress{u"Servers", u"TranslateAddress", ConfigKind::Text};
inline constexpr ConfigKey TranslateCookie{u"Servers", u"TranslateCookie", ConfigKind::Text};
inline constexpr ConfigKey News{u"Servers", u"News", ConfigKind::Text};
inline constexpr ConfigKey Alexa{u"Servers", u"Alexa", ConfigKind::Text};
inline constexpr ConfigKey PageRank{u"Servers", u"PageRank", ConfigKind::Text};
inline constexpr ConfigKey Baidu{u"Servers", u"Baidu", ConfigKind::Text};
inline constexpr ConfigKey Google{u"Servers", u"Google", ConfigKind::Text};
inline constexpr ConfigKey Bing{u"Servers", u"Bing", ConfigKind::Text};
inline constexpr ConfigKey Soso{u"Servers", u"Soso", ConfigKind::Text};
inline constexpr ConfigKey Sogou{u"Servers", u"Sogou", ConfigKind::Text};
inline constexpr ConfigKey LinkStats{u"Servers", u"LinkStats", ConfigKind::Text};
// The maker's own site, the first one the statistics mode looks up.
inline constexpr ConfigKey Site{u"Servers", u"Site", ConfigKind::Text};
inline constexpr ConfigKey Timeout{u"Servers", u"Timeout", ConfigKind::Integer};
} // namespace Servers

// The whole register of the programs' own keys, in the order of the file's
// documentation. The server keys are kept apart in `servers` below.
inline constexpr std::array<ConfigKey, 38> all{
    Format::ExtBr,         Format::HeadSpace,     Format::SpaceNum,       Format::SpaceStr,    Format::Full,
    Format::Point,         Format::CheckWords,    Format::CheckWordsType, Format::RemoveLink,  Format::SaveWords,
    Format::ExtSpace,      Format::AutoSign,      Format::Start,          Format::End,         Format::Sign,
    YC::Keyword,           YC::KeywordStrong,     YC::KeywordStr,         YC::LinkUrl,         YC::LinkType,
    YC::ShowHelp,          ResizePic::Resize,     ResizePic::MaxHeight,   ResizePic::MaxWidth, ResizePic::Small,
    ResizePic::Strong,     Default::Form,         Default::ShowHelp,      Form::ShowDefault,   Form::ShowDefaultYC,
    login::AutoLogin,      login::RemberPassword, vision::vision,         vision::update,      vision::ErrorWord,
    vision::ErrorWordNums, vision::SameWord,      vision::SameWordNums,
};

// Keys this build adds to the programs' own sections, listed after them.
inline constexpr std::array<ConfigKey, 4> own{
    Format::ArticleOnly,
    Format::SensitiveLoose,
    Format::CjkSpace,
    YC::WholeWords,
};

inline constexpr std::array<ConfigKey, 18> servers{
    Servers::Forum,
    Servers::Avatar,
    Servers::Service,
    Servers::Relay,
    Servers::Translate,
    Servers::TranslateAddress,
    Servers::TranslateCookie,
    Servers::News,
    Servers::Alexa,
    Servers::PageRank,
    Servers::Baidu,
    Servers::Google,
    Servers::Bing,
    Servers::Soso,
    Servers::Sogou,
    Servers::LinkStats,
    Servers::Site,
    Servers::Timeout,
};

} // namespace Cfg

// Reads through getConfig at the moment of the call.
QString configText(const ConfigKey &key);
int configInt(const ConfigKey &key);   // toInt of the stored text: 0 when missing or not a number
bool configFlag(const ConfigKey &key); // true only for a stored 1
// The value as the programs use it: numbers and flags as the decimal text of
// toInt, text keys as stored.
QString configValue(const ConfigKey &key);

// Writes through setConfig; false when the settings file could not be written.
bool setConfigText(const ConfigKey &key, const QString &value);
bool setConfigInt(const ConfigKey &key, int value);
bool setConfigFlag(const ConfigKey &key, bool on);

} // namespace zorvane
