#include "editor/editor_host.h"

using namespace Qt::StringLiterals;

namespace zorvane {

std::optional<QString> getEditorHtml(EditorHost &host)
{
    if (!host.clickElement(EditorElement::Get))
        return std::nullopt;
    std::optional<QString> html = host.elementValue(EditorElement::Mailbox);
    if (html)
        html->replace(u"<p>?</p>"_s, u"<p>&nbsp;</p>"_s);
    return html;
}

bool setEditorHtml(EditorHost &host, const QString &html)
{
    return host.setElementValue(EditorElement::Mailbox, html) && host.clickElement(EditorElement::Set);
}

std::optional<QString> keepArticle(EditorHost &host, const QString &html)
{
    if (!host.setElementValue(EditorElement::Mailbox, html) || !host.clickElement(EditorElement::Article))
        return std::nullopt;
    return host.elementValue(EditorElement::Mailbox);
}

} // namespace zorvane
