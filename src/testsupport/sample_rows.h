#pragma once

// QtTest data rows over the sample articles (see sample_pages.h).

#include "testsupport/sample_pages.h"

#include <QTest>

namespace zorvane {

// A column "path" and one row per expected article, named after it; false
// when there are no samples, for the caller to skip.
inline bool addExpectedArticleRows()
{
    QTest::addColumn<QString>("path");
    const auto articles = expectedArticles();
    for (const auto &[name, path] : articles)
        QTest::newRow(qPrintable(name)) << path;
    return !articles.isEmpty();
}

} // namespace zorvane
