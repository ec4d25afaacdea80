#include "settings/setting_values.h"

#include "settings/config_keys.h"
#include "settings/config_snapshot.h"
#include "text/text_utils.h"

#include <QtGlobal>

namespace zorvane {

namespace {

int listIndex(const ConfigSnapshot &config, const ConfigKey &key, int max)
{
    const int index = config.integer(key);
    return index >= 0 && index <= max ? index : 0;
}

} // namespace

SettingValues loadSettingValues()
{
    using namespace Cfg;
    // One read of the file for the whole dialog.
    const ConfigSnapshot config = ConfigSnapshot::read();
    SettingValues v;

    v.extBr = config.flag(Format::ExtBr);
    v.headSpace = config.flag(Format::HeadSpace);
    v.full = config.flag(Format::Full);
    v.point = config.flag(Format::Point);
    v.checkWords = config.flag(Format::CheckWords);
    v.removeLink = config.flag(Format::RemoveLink);
    v.extSpace = config.flag(Format::ExtSpace);
    v.autoSign = config.flag(Format::AutoSign);
    v.signAtStart = config.flag(Format::Start);
    v.signAtEnd = config.flag(Format::End);
    v.keyword = config.flag(YC::Keyword);
    v.wholeWords = config.flag(YC::WholeWords);
    v.resize = config.flag(ResizePic::Resize);
    v.small = config.flag(ResizePic::Small);
    v.autoLogin = config.flag(login::AutoLogin);

    v.spaceNum = config.integer(Format::SpaceNum);
    v.maxWidth = config.integer(ResizePic::MaxWidth);
    v.maxHeight = config.integer(ResizePic::MaxHeight);

    v.saveWords = config.flag(Format::SaveWords);
    v.markTypos = config.flag(Format::CheckWordsType);
    v.fullSpace = config.flag(Format::SpaceStr);
    const int form = config.integer(Default::Form);
    v.defaultForm = form >= 1 && form <= 3 ? form : 0;

    v.sign = config.text(Format::Sign);
    v.keywordStr = config.text(YC::KeywordStr);
    v.linkUrl = config.text(YC::LinkUrl);

    v.strong = listIndex(config, ResizePic::Strong, StrongMax);
    v.keywordStrong = listIndex(config, YC::KeywordStrong, KeywordStrongMax);
    v.linkType = listIndex(config, YC::LinkType, LinkTypeMax);

    v.sensitiveLoose = config.flag(Format::SensitiveLoose);
    v.cjkSpace = listIndex(config, Format::CjkSpace, CjkSpaceMax);
    return v;
}

int numberFieldValue(const QString &text)
{
    return qBound(0, toInt(text), NumberFieldMax);
}

SettingsSaveResult saveSettingValues(const SettingValues &v)
{
    using namespace Cfg;
    const int maxHeight = qBound(0, v.maxHeight, NumberFieldMax);
    const int maxWidth = qBound(0, v.maxWidth, NumberFieldMax);
    if (v.resize && maxHeight == 0 && maxWidth == 0)
        return SettingsSaveResult::SizeRequired;

    const bool written =
        setConfigFlag(ResizePic::Resize, v.resize) && setConfigInt(ResizePic::MaxHeight, maxHeight)
        && setConfigInt(ResizePic::MaxWidth, maxWidth) && setConfigFlag(ResizePic::Small, v.small)
        && setConfigInt(ResizePic::Strong, v.strong)

        && setConfigInt(Format::SpaceNum, qBound(0, v.spaceNum, NumberFieldMax))
        && setConfigFlag(Format::ExtBr, v.extBr) && setConfigFlag(Format::HeadSpace, v.headSpace)
        && setConfigFlag(Format::Full, v.full) && setConfigFlag(Format::Point, v.point)
        && setConfigFlag(Format::CheckWords, v.checkWords) && setConfigFlag(Format::RemoveLink, v.removeLink)
        && setConfigFlag(Format::ExtSpace, v.extSpace) && setConfigFlag(Format::AutoSign, v.autoSign)
        && setConfigFlag(Format::Start, v.signAtStart) && setConfigFlag(Format::End, v.signAtEnd)
        && setConfigText(Format::Sign, v.sign)

        && setConfigFlag(YC::Keyword, v.keyword) && setConfigInt(YC::KeywordStrong, v.keywordStrong)
        && setConfigText(YC::KeywordStr, v.keywordStr) && setConfigText(YC::LinkUrl, v.linkUrl)
        && setConfigInt(YC::LinkType, v.linkType) && setConfigFlag(YC::WholeWords, v.wholeWords)

        && setConfigFlag(Format::SaveWords, v.saveWords) && setConfigFlag(Format::SpaceStr, v.fullSpace)
        && setConfigFlag(Format::CheckWordsType, v.markTypos) && setConfigFlag(Format::SensitiveLoose, v.sensitiveLoose)
        && setConfigInt(Format::CjkSpace, v.cjkSpace)

        && (v.defaultForm < 1 || v.defaultForm > 3 || setConfigInt(Default::Form, v.defaultForm))

        && setConfigFlag(login::AutoLogin, v.autoLogin);

    return written ? SettingsSaveResult::Saved : SettingsSaveResult::WriteFailed;
}

} // namespace zorvane
