#include "snapshot/settings_snapshot.h"

#include "settings/config_keys.h"

namespace zorvane {

SettingsSnapshot readSettingsSnapshot(const AppFolder &folder)
{
    return readSettingsSnapshot(ConfigSnapshot::read(folder));
}

SettingsSnapshot readSettingsSnapshot(const ConfigSnapshot &config)
{
    return {readFormatOptions(config), readCheckOptions(config), readSynonymOptions(config)};
}

// Flags are on only for a stored 1 and numbers are toInt of the text, as the
// pipeline has always read them; SaveWords keeps link words for any value but 0.
FormatOptions readFormatOptions(const ConfigSnapshot &config)
{
    using namespace Cfg;
    FormatOptions o;
    o.articleOnly = config.flag(Format::ArticleOnly);
    o.removeLink = config.flag(Format::RemoveLink);
    o.saveWords = config.integer(Format::SaveWords) != 0;
    o.keyword.insert = config.flag(YC::Keyword);
    o.keyword.density = config.integer(YC::KeywordStrong);
    o.keyword.word = config.text(YC::KeywordStr);
    o.keyword.linkUrl = config.text(YC::LinkUrl);
    o.keyword.linkType = config.integer(YC::LinkType);
    o.full = config.flag(Format::Full);
    o.extBr = config.flag(Format::ExtBr);
    o.autoSign = config.flag(Format::AutoSign);
    o.sign = config.text(Format::Sign);
    o.signAtStart = config.flag(Format::Start);
    o.signAtEnd = config.flag(Format::End);
    o.extSpace = config.flag(Format::ExtSpace);
    o.headSpace = config.flag(Format::HeadSpace);
    o.spaceNum = config.integer(Format::SpaceNum);
    o.fullSpace = config.flag(Format::SpaceStr);
    o.point = config.flag(Format::Point);
    o.cjkSpace = cjkSpacingFromNumber(config.integer(Format::CjkSpace));
    o.checkWords = config.flag(Format::CheckWords);
    return o;
}

CheckOptions readCheckOptions(const ConfigSnapshot &config)
{
    CheckOptions o;
    o.typoMark = config.flag(Cfg::Format::CheckWordsType) ? TypoMark::Mark : TypoMark::Replace;
    o.sensitiveLoose = config.flag(Cfg::Format::SensitiveLoose);
    return o;
}

} // namespace zorvane

namespace zorvane {

SynonymOptions readSynonymOptions(const ConfigSnapshot &config)
{
    SynonymOptions o;
    o.wholeWords = config.flag(Cfg::YC::WholeWords);
    return o;
}

} // namespace zorvane
