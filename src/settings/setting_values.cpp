#include "settings/setting_values.h"

#include "settings/config_keys.h"
#include "text/text_utils.h"

#include <QtGlobal>

namespace zorvane {

namespace {

int listIndex(const ConfigKey &key, int max)
{
    const int index = configInt(key);
    return index >= 0 && index <= max ? index : 0;
}

} // namespace

SettingValues loadSettingValues()
{
    using namespace Cfg;
    SettingValues v;

    v.extBr = configFlag(Format::ExtBr);
    v.headSpace = configFlag(Format::HeadSpace);
    v.full = configFlag(Format::Full);
    v.point = configFlag(Format::Point);
    v.checkWords = configFlag(Format::CheckWords);
    v.removeLink = configFlag(Format::RemoveLink);
    v.extSpace = configFlag(Format::ExtSpace);
    v.autoSign = configFlag(Format::AutoSign);
    v.signAtStart = configFlag(Format::Start);
    v.signAtEnd = configFlag(Format::End);
    v.keyword = configFlag(YC::Keyword);
    v.resize = configFlag(ResizePic::Resize);
    v.small = configFlag(ResizePic::Small);
    v.autoLogin = configFlag(login::AutoLogin);

    v.spaceNum = configInt(Format::SpaceNum);
    v.maxWidth = configInt(ResizePic::MaxWidth);
    v.maxHeight = configInt(ResizePic::MaxHeight);

    v.saveWords = configFlag(Format::SaveWords);
    v.markTypos = configFlag(Format::CheckWordsType);
    v.fullSpace = configFlag(Format::SpaceStr);
    const int form = configInt(Default::Form);
    v.defaultForm = form >= 1 && form <= 3 ? form : 0;

    v.sign = configText(Format::Sign);
    v.keywordStr = configText(YC::KeywordStr);
    v.linkUrl = configText(YC::LinkUrl);

    v.strong = listIndex(ResizePic::Strong, StrongMax);
    v.keywordStrong = listIndex(YC::KeywordStrong, KeywordStrongMax);
    v.linkType = listIndex(YC::LinkType, LinkTypeMax);
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
        && setConfigInt(YC::LinkType, v.linkType)

        && setConfigFlag(Format::SaveWords, v.saveWords) && setConfigFlag(Format::SpaceStr, v.fullSpace)
        && setConfigFlag(Format::CheckWordsType, v.markTypos)

        && (v.defaultForm < 1 || v.defaultForm > 3 || setConfigInt(Default::Form, v.defaultForm))

        && setConfigFlag(login::AutoLogin, v.autoLogin);

    return written ? SettingsSaveResult::Saved : SettingsSaveResult::WriteFailed;
}

} // namespace zorvane
