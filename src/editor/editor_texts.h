#pragma once

#include <QString>

namespace zorvane {

// What the editor's commands say: guard refusals, status texts, captions and
// the file dialogs' titles and filter.
namespace EditorText {
using namespace Qt::StringLiterals;
inline const QString NotInSeoMode = u"请切换至格式化或伪原创后再执行本操作。"_s;
inline const QString NotInPreview = u"预览状态不能执行该操作。"_s;
inline const QString NotInTextMode = u"文本模式不能执行该操作。"_s;
inline const QString PageNotAnswering = u"编辑器没有响应，本次操作没有改动文章，请稍后再试。"_s;
inline const QString LoadDone = u"读取成功."_s;
inline const QString EditorEmpty = u"当前编辑器内没有内容."_s;
inline const QString SaveDone = u"保存成功."_s;
inline const QString SaveFailed = u"保存失败，文件无法写入。"_s;
inline const QString Copied = u"已成功复制到剪切板..."_s;
inline const QString Pasted = u"已成功粘贴进来..."_s;
inline const QString PreviewOff = u"点击预览"_s;
inline const QString PreviewOn = u"取消预览"_s;
inline const QString TextModeOff = u"文本模式"_s;
inline const QString TextModeOn = u"编辑模式"_s;
inline const QString LoadTitle = u"请选择要读取的内容"_s;
inline const QString SaveTitle = u"请选择要保存的路径"_s;
inline const QString TextFileFilter = u"文本文件(*.txt)"_s;
} // namespace EditorText

} // namespace zorvane
