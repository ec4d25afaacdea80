#pragma once

#include <QString>

#include <optional>

namespace zorvane {

// The editor page as the program sees it, by element id: "temp" is a mailbox
// whose value the program writes and reads, a click on "set" makes the mailbox
// the whole article, a click on "get" puts the article into the mailbox, and
// "buttonj2f"/"buttonf2j" convert the article between simplified and
// traditional characters, and a click on "article" replaces the mailbox, a
// whole pasted page, by its article alone. Each operation is one bounded round trip: a page
// that does not answer in time gives false or nullopt, never a made-up value.
class EditorHost
{
public:
    virtual ~EditorHost() = default;

    virtual bool setElementValue(const QString &id, const QString &value) = 0;
    virtual std::optional<QString> elementValue(const QString &id) = 0;
    virtual bool clickElement(const QString &id) = 0;

    // html as the browser renders it into plain text (the innerText of a
    // document whose body is html): paragraphs and line breaks become CR LF.
    virtual std::optional<QString> plainTextOf(const QString &html) = 0;

    // True while a request waits for the page's answer: work that arrives
    // meanwhile (a network reply) must not start a request of its own.
    virtual bool isBusy() const { return false; }
};

namespace EditorElement {
using namespace Qt::StringLiterals;
inline const QString Mailbox = u"temp"_s;
inline const QString Set = u"set"_s;
inline const QString Get = u"get"_s;
inline const QString ToSimplified = u"buttonf2j"_s;
inline const QString ToTraditional = u"buttonj2f"_s;
inline const QString Article = u"article"_s;
} // namespace EditorElement

// The article as HTML, with every paragraph holding only "?" turned into an
// empty paragraph; nullopt when the page did not answer.
std::optional<QString> getEditorHtml(EditorHost &host);
// Makes html the whole article; false when the page did not take it.
bool setEditorHtml(EditorHost &host, const QString &html);
// The article of html, a whole page (saved, or as a browser copies it) or
// already an article: the title as the first paragraph, then the body; html
// itself when there is nothing around an article to take away. nullopt when
// the page did not answer. The editing area is left alone.
std::optional<QString> keepArticle(EditorHost &host, const QString &html);

} // namespace zorvane
