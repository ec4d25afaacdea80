#pragma once

#include <QString>

namespace zorvane {

// The captions, status texts and messages of the rewriting commands, shared by
// their logic and the main window's "yc" panel.
namespace RewriteText {

using namespace Qt::StringLiterals;

// Synonyms
inline const QString kReplaceSameCaption = u"同义词替换"_s;
inline const QString kImportCaption = u"导入"_s;
inline const QString kExportCaption = u"导出"_s;
inline const QString kReplacing = u"正在替换,请稍候..."_s;
inline const QString kLoadingLibraryFirstUse = u"首次使用,正在载入同义词库..."_s;
inline const QString kReplaceFinished = u"替换结束..."_s;
// Whole-word synonyms without the word segmenter's dictionary: nothing is
// exchanged rather than every chance neighbour of characters.
inline const QString kSegmenterMissing =
    u"中文分词词典无法载入，同义词未替换。请安装friso-dict，或在设置中取消“同义词整词替换”。"_s;
inline const QString kImportHintTitle = u"导入同义字库提示："_s;
inline const QString kImportHintText = u"请在随后弹出的窗口选择要导入的同义字库文本文件。\r\n"
                                       "字库格式：相同意义的两个词之间使用\"|\"符号分隔，不同词之间换行。\r\n"
                                       "例如：\r\n"
                                       "上网|冲浪|娱乐\r\n"
                                       "战争|死亡\r\n"
                                       "点击确定进入文件选择，点击取消则下次不再出现此提示。\r\n"
                                       "如需查看当前字库，请点击导出。"_s;
inline const QString kImportDialogTitle = u"请选择要导入的文本文件"_s;
inline const QString kTextFileFilter = u"文本文件(*.txt)|*.txt"_s;
inline const QString kImporting = u"正在导入同义字库.."_s;
inline const QString kImportTextEmpty = u"导入文本为空。"_s;
inline const QString kImportLinesFormatError = u"导入的同义词库格式错误。"_s;
inline const QString kImportSingleLineFormatError = u"导入的同义字库格式错误。"_s;
inline const QString kImported = u"导入成功.."_s;
// Said instead of kImported when the library file cannot be written.
inline const QString kImportFailed = u"导入失败，文件无法写入。"_s;
inline const QString kExportDialogTitle = u"请选择要导出的文本文件"_s;
inline const QString kLibraryMissing = u"同义字数据库丢失。"_s;
inline const QString kLibraryEmpty = u"同义字数据库为空。"_s;
inline const QString kExportLoading = u"正在载入当前同义字库..."_s;
inline const QString kExported = u"导出成功..."_s;
// Said instead of kExported when the chosen file cannot be written.
inline const QString kExportFailed = u"导出失败，文件无法写入。"_s;
// Shuffle and one-key pseudo-original
inline const QString kShuffleCaption = u"打乱结构"_s;
inline const QString kOneKeyCaption = u"一键伪原创"_s;
inline const QString kChooseStrengthItem = u"选择强度"_s;
inline const QString kChooseStrength = u"请选择强度。"_s;
inline const QString kShuffling = u"正在打乱结构..."_s;
inline const QString kShuffleFinished = u"打乱结构结束..."_s;
inline const QString kOneKeyRunning = u"正在执行一键伪原创.."_s;
inline const QString kReplacingSynonyms = u"正在替换同义词..."_s;
inline const QString kFormatting = u"正在格式化..."_s;
inline const QString kOneKeyFinished = u"一键伪原创执行完毕..."_s;
// Simplified/traditional
inline const QString kToTraditionalCaption = u"简->繁"_s;
inline const QString kToSimplifiedCaption = u"繁->简"_s;
inline const QString kConverting = u"正在转换..."_s;
inline const QString kToSimplifiedFinished = u"繁简转换完毕..."_s;
inline const QString kToTraditionalFinished = u"简繁转换完毕..."_s;

// Translation round trip. The button's caption names the translation its
// next click performs.
inline const QString kZhToEnCaption = u"中->英"_s;
inline const QString kEnToZhCaption = u"英->中"_s;
// Shown as the status at the start, and in a box for a click while one runs.
inline const QString kTranslating = u"正在翻译，请稍候。"_s;
// The OK/Cancel warning shown while "ShowHelp" of section "YC" reads 0.
inline const QString kTranslationWarning = u"注意：翻译将清除掉内容的HTML格式\r\n"
                                           "点击取消则不再出现本提示。"_s;
inline const QString kTranslationFinished = u"翻译结束。"_s;
// A refused or broken connection, a time-out or a hang-up before the page ended.
inline const QString kTranslationNetworkFailure = u"网络故障，暂时无法使用翻译功能。"_s;
// When the service's page holds no translation; the article is left as it was.
inline const QString kTranslationNoResult = u"翻译服务没有返回译文，内容未作改动。"_s;
// When the article was edited, or taken into text mode, while the translation
// was on its way: the translation would overwrite the newer article.
inline const QString kTranslationArticleChanged = u"翻译期间内容已被改动，译文未写入。"_s;

} // namespace RewriteText

} // namespace zorvane
