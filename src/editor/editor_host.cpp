#include "editor/editor_host.h"

using namespace Qt::StringLiterals;

std::optional<QString> getEditorHtml(EditorHost &host)
{
    if (!host.clickElement(QString::fromUtf16(EditorElement::Get)))
        return std::nullopt;
    std::optional<QString> html = host.elementValue(QString::fromUtf16(EditorElement::Mailbox));
    if (html)
        html->replace(u"<p>?</p>"_s, u"<p>&nbsp;</p>"_s);
    return html;
}

bool setEditorHtml(EditorHost &host, const QString &html)
{
    return host.setElementValue(QString::fromUtf16(EditorElement::Mailbox), html)
           && host.clickElement(QString::fromUtf16(EditorElement::Set));
}
