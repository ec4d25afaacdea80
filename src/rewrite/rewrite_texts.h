#pragma once

#include <QString>

// The captions, status texts and messages of the rewriting commands, shared by
// their logic and the main window's "yc" panel.
namespace RewriteText {

// Synonyms
inline const QString kReplaceSameCaption = QStringLiteral("同义词替换");
inline const QString kImportCaption = QStringLiteral("导入");
inline const QString kExportCaption = QStringLiteral("导出");
inline const QString kReplacing = QStringLiteral("正在替换,请稍候...");
inline const QString kLoadingLibraryFirstUse = QStringLiteral("首次使用,正在载入同义词库...");
inline const QString kReplaceFinished = QStringLiteral("替换结束...");
inline const QString kImportHintTitle = QStringLiteral("导入同义字库提示：");
inline const QString kImportHintText =
    QStringLiteral("请在随后弹出的窗口选择要导入的同义字库文本文件。\r\n"
                   "字库格式：相同意义的两个词之间使用\"|\"符号分隔，不同词之间换行。\r\n"
                   "例如：\r\n"
                   "上网|冲浪|娱乐\r\n"
                   "战争|死亡\r\n"
                   "点击确定进入文件选择，点击取消则下次不再出现此提示。\r\n"
                   "如需查看当前字库，请点击导出。");
inline const QString kImportDialogTitle = QStringLiteral("请选择要导入的文本文件");
inline const QString kTextFileFilter = QStringLiteral("文本文件(*.txt)|*.txt");
inline const QString kImporting = QStringLiteral("正在导入同义字库..");
inline const QString kImportTextEmpty = QStringLiteral("导入文本为空。");
inline const QString kImportLinesFormatError = QStringLiteral("导入的同义词库格式错误。");
inline const QString kImportSingleLineFormatError = QStringLiteral("导入的同义字库格式错误。");
inline const QString kImported = QStringLiteral("导入成功..");
// Said instead of kImported when the library file cannot be written.
inline const QString kImportFailed = QStringLiteral("导入失败，文件无法写入。");
inline const QString kExportDialogTitle = QStringLiteral("请选择要导出的文本文件");
inline const QString kLibraryMissing = QStringLiteral("同义字数据库丢失。");
inline const QString kLibraryEmpty = QStringLiteral("同义字数据库为空。");
inline const QString kExportLoading = QStringLiteral("正在载入当前同义字库...");
inline const QString kExported = QStringLiteral("导出成功...");
// Said instead of kExported when the chosen file cannot be written.
inline const QString kExportFailed = QStringLiteral("导出失败，文件无法写入。");
// Shuffle and one-key pseudo-original
inline const QString kShuffleCaption = QStringLiteral("打乱结构");
inline const QString kOneKeyCaption = QStringLiteral("一键伪原创");
inline const QString kChooseStrengthItem = QStringLiteral("选择强度");
inline const QString kChooseStrength = QStringLiteral("请选择强度。");
inline const QString kShuffling = QStringLiteral("正在打乱结构...");
inline const QString kShuffleFinished = QStringLiteral("打乱结构结束...");
inline const QString kOneKeyRunning = QStringLiteral("正在执行一键伪原创..");
inline const QString kReplacingSynonyms = QStringLiteral("正在替换同义词...");
inline const QString kFormatting = QStringLiteral("正在格式化...");
inline const QString kOneKeyFinished = QStringLiteral("一键伪原创执行完毕...");
// Simplified/traditional
inline const QString kToTraditionalCaption = QStringLiteral("简->繁");
inline const QString kToSimplifiedCaption = QStringLiteral("繁->简");
inline const QString kConverting = QStringLiteral("正在转换...");
inline const QString kToSimplifiedFinished = QStringLiteral("繁简转换完毕...");
inline const QString kToTraditionalFinished = QStringLiteral("简繁转换完毕...");

// Translation round trip. The button's caption names the translation its
// next click performs.
inline const QString kZhToEnCaption = QStringLiteral("中->英");
inline const QString kEnToZhCaption = QStringLiteral("英->中");
// Shown as the status at the start, and in a box for a click while one runs.
inline const QString kTranslating = QStringLiteral("正在翻译，请稍候。");
// The OK/Cancel warning shown while "ShowHelp" of section "YC" reads 0.
inline const QString kTranslationWarning = QStringLiteral("注意：翻译将清除掉内容的HTML格式\r\n"
                                                          "点击取消则不再出现本提示。");
inline const QString kTranslationFinished = QStringLiteral("翻译结束。");
// A refused or broken connection, a time-out or a hang-up before the page ended.
inline const QString kTranslationNetworkFailure = QStringLiteral("网络故障，暂时无法使用翻译功能。");
// Said instead of kTranslationFinished when the service's page holds no
// translation; the article is left as it was.
inline const QString kTranslationNoResult = QStringLiteral("翻译服务没有返回译文，内容未作改动。");

} // namespace RewriteText
