#pragma once

#include "editor/start_content.h"
#include "net/advertisement.h"
#include "net/notice.h"

#include <QList>
#include <QString>

#include <optional>

namespace zorvane {

class ServiceClient;

// The start mode from setting Cfg::Default::Form (1 "format", 2 "yc", 3 "seo",
// anything else "format"); text handed over forces "yc". Without the "seo"
// mode on offer (its panel is empty), 3 starts in "format" too.
QString startMode(const QString &formSetting, bool startedWithText, bool seoOffered = true);

// How the start content asks the service server for a mode's default text;
// nothing is fetched without a server. The answers arrive for context.
StartContent::FetchText defaultTextFetch(ServiceClient *service, QObject *context);

// "版本:1.0.0　错别字库:N组　同义词库:M组".
QString versionCaption(const QString &version, const QString &typoGroups, const QString &synonymGroups);

// The notice shown after current, among count notices.
int nextNoticeIndex(int current, int count);

} // namespace zorvane
