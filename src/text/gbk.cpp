#include "text/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zorvane {

QByteArray toGbk(QStringView text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGbk(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

} // namespace zorvane
