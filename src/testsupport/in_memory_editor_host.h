#pragma once

#include "editor/editor_host.h"

#include <QHash>

#include <functional>

namespace zorvane {

// An editor page kept in memory, for tests: the article is a string, "set" and "get" move it through the mailbox
// exactly as the real page does. The script conversion buttons run the converters given to setConverters(); without
// them (or for any other id) a click is refused.
class InMemoryEditorHost : public EditorHost
{
public:
    using Converter = std::function<QString(const QString &)>;

    bool setElementValue(const QString &id, const QString &value) override;
    std::optional<QString> elementValue(const QString &id) override;
    bool clickElement(const QString &id) override;
    std::optional<QString> plainTextOf(const QString &html) override;
    bool isBusy() const override { return m_busy; }

    QString article() const { return m_article; }
    void setArticle(const QString &html) { m_article = html; }

    void setConverters(Converter toSimplified, Converter toTraditional);

    // A page that stops answering: every operation fails from now on.
    void setAnswering(bool answering) { m_answering = answering; }
    // As if a command's request were waiting for the page.
    void setBusy(bool busy) { m_busy = busy; }
    int roundTrips() const { return m_roundTrips; }

private:
    QHash<QString, QString> m_values;
    QString m_article;
    Converter m_toSimplified;
    Converter m_toTraditional;
    bool m_answering = true;
    bool m_busy = false;
    int m_roundTrips = 0;
};

} // namespace zorvane
