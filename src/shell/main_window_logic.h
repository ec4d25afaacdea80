#pragma once

#include "net/notice.h"

#include <QList>
#include <QString>

#include <optional>

// The advertisement reply: a picture name, optionally "|" and a link.
struct Advertisement
{
    QString picture;
    QString link;
};
std::optional<Advertisement> parseAdvertisement(const QString &reply);

// The start mode from setting Cfg::Default::Form (1 "format", 2 "yc", 3 "seo",
// anything else "format"); text handed over forces "yc".
QString startMode(const QString &formSetting, bool startedWithText);

// "版本:1.0.0　错别字库:N组　同义词库:M组".
QString versionCaption(const QString &version, const QString &typoGroups, const QString &synonymGroups);

// The notice shown after current, among count notices.
int nextNoticeIndex(int current, int count);
