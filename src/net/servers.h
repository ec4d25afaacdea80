#pragma once

#include "settings/config_keys.h"

#include <QString>

#include <chrono>

namespace zorvane {

// Where an outside server is reached. Every host the programs talk to is read
// from section "Servers" of the settings file at the moment of use, as "host"
// or "host:port"; a missing or empty key falls back to a built-in default.
struct ServerAddress
{
    QString host;
    quint16 port = 80;

    // "host" when the port is 80, otherwise "host:port": what a Host header or
    // an "http://" address carries.
    QString authority() const;
    // "http://" + authority() + path ("/…"): a page of the server.
    QString url(const QString &path) const;
};

// The address under one of the keys of Cfg::Servers (Cfg::Servers::Forum, …).
// A key without a built-in default and with nothing configured gives an
// empty host.
ServerAddress serverAddress(const ConfigKey &key);

// The raw text of a key of section "Servers", or its built-in default when the
// key is missing or empty (also for keys that are not addresses, such as
// Cfg::Servers::TranslateCookie).
QString serverSetting(const ConfigKey &key);

// Splits "host" or "host:port"; a missing, malformed or out-of-range port
// reads as 80. Surrounding blanks are ignored.
ServerAddress parseServerAddress(const QString &text);

// How long any one exchange with an outside server may take: key "Timeout" of
// section "Servers", in seconds; 30 seconds when missing, zero or not a number.
std::chrono::milliseconds serverTimeout();

} // namespace zorvane
