#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace zorvane {

// The Windows profile-file format on raw file bytes, so that every line the
// programs do not touch keeps its bytes exactly. Section and key names are
// matched without regard to ASCII case; the first matching section and key
// win. Lines end in CR LF when written; LF alone is read too.
namespace ini {

// The raw value bytes of Section/Key, surrounding blanks trimmed; found is set
// to whether the key exists.
QByteArray value(const QByteArray &file, QByteArrayView section, QByteArrayView key, bool *found = nullptr);

// The file with Section/Key set to value: replaced in place when present,
// added at the end of its section otherwise, the section appended when new.
QByteArray withValue(const QByteArray &file, QByteArrayView section, QByteArrayView key, QByteArrayView value);

QByteArray withoutKey(const QByteArray &file, QByteArrayView section, QByteArrayView key);
QByteArray withoutSection(const QByteArray &file, QByteArrayView section);

} // namespace ini

} // namespace zorvane
