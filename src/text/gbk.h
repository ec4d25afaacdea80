#pragma once

#include <QByteArray>
#include <QString>

namespace zorvane {

// The system's ANSI code page. Every file, request and received page of the
// system is GBK; GB18030 is byte-identical to GBK for every GBK character and,
// unlike GBK, loses nothing outside it.
QByteArray toGbk(QStringView text);
QString fromGbk(QByteArrayView bytes);

} // namespace zorvane
