#include "updater/update_texts.h"

using namespace Qt::StringLiterals;

namespace zorvane {

namespace UpdateText {

QString initialStatus()
{
    return u"下载更新包："_s;
}

QString progressCaption()
{
    return u"进度："_s;
}

QString okCaption()
{
    return u"确定"_s;
}

QString noUpdate()
{
    return u"当前没有更新。"_s;
}

QString updatesFound(int count)
{
    return u"发现"_s + QString::number(count) + u"个更新，点击确定继续。"_s;
}

QString downloading(int number, const QString &name, int count)
{
    return u"正在下载第"_s + QString::number(number) + u"个更新包"_s + name + u"，共计"_s + QString::number(count)
           + u"个更新。"_s;
}

QString installing(const QString &name)
{
    return u"正在安装更新包："_s + name;
}

QString succeeded()
{
    return u"更新成功，点击确定运行主程序。"_s;
}

QString networkFailure()
{
    return u"网络故障，更新终止。"_s;
}

QString signatureInvalid()
{
    return u"更新包签名无效，更新终止。"_s;
}

QString noKey()
{
    return u"没有更新公钥，无法验证更新包，更新终止。"_s;
}

QString alreadyRunning()
{
    return u"更新程序已在运行。"_s;
}

QString packageTooLarge(const QString &statusLine, qint64 contentLength)
{
    return u"更新包过大，更新终止。（"_s + statusLine + u"，Content-Length: "_s + QString::number(contentLength)
           + u"）"_s;
}

QString listRefused()
{
    return u"更新列表无效，更新终止。"_s;
}

QString installFailed()
{
    return u"更新包安装失败，更新终止。"_s;
}

QString versionNotRecorded()
{
    return u"无法写入设置文件，版本未记录。"_s;
}

} // namespace UpdateText

} // namespace zorvane
