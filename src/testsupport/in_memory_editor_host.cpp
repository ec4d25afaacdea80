#include "testsupport/in_memory_editor_host.h"

#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace zorvane {

bool InMemoryEditorHost::setElementValue(const QString &id, const QString &value)
{
    ++m_roundTrips;
    if (!m_answering || id != EditorElement::Mailbox)
        return false;
    m_values.insert(id, value);
    return true;
}

std::optional<QString> InMemoryEditorHost::elementValue(const QString &id)
{
    ++m_roundTrips;
    if (!m_answering || id != EditorElement::Mailbox)
        return std::nullopt;
    return m_values.value(id);
}

bool InMemoryEditorHost::clickElement(const QString &id)
{
    ++m_roundTrips;
    if (!m_answering)
        return false;
    const QString mailbox = EditorElement::Mailbox;
    if (id == EditorElement::Set) {
        m_article = m_values.value(mailbox);
        return true;
    }
    if (id == EditorElement::Get) {
        m_values.insert(mailbox, m_article);
        return true;
    }
    if (id == EditorElement::ToSimplified && m_toSimplified) {
        m_article = m_toSimplified(m_article);
        return true;
    }
    if (id == EditorElement::ToTraditional && m_toTraditional) {
        m_article = m_toTraditional(m_article);
        return true;
    }
    return false;
}

std::optional<QString> InMemoryEditorHost::plainTextOf(const QString &html)
{
    ++m_roundTrips;
    if (!m_answering)
        return std::nullopt;
    QTextDocument document;
    document.setHtml(u"<html><body>"_s + html + u"</body></html>"_s);
    QString text = document.toPlainText();
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::Nbsp, u' ');
    return text.replace(u"\n"_s, u"\r\n"_s);
}

void InMemoryEditorHost::setConverters(Converter toSimplified, Converter toTraditional)
{
    m_toSimplified = std::move(toSimplified);
    m_toTraditional = std::move(toTraditional);
}

} // namespace zorvane
