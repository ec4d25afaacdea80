#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace zorvane {

// The never-shown document the formatting pipeline works on: an article's
// HTML parsed the way a browser parses it (HTML5 tree construction, so messy
// pasted markup gets the tree a browser would build), with the few document
// operations the pipeline needs: the image and link collections, replacing an
// element's outer HTML, setting an element's inner HTML, and the body's
// rendered plain text (see inner_text.h).
class ScratchDocument
{
public:
    struct Attribute
    {
        QString name;
        QString value;
    };

    // One node of the tree. Children are linked through first/next so that
    // replacing a node costs nothing; detached nodes simply stay unreferenced.
    struct Node
    {
        enum Kind : std::uint8_t { Element, Text, Comment, Document };
        Kind kind = Element;
        bool html = true;       // element in the HTML namespace (not SVG/MathML)
        bool template_ = false; // template element: its content is inert
        int tag = 0;            // GumboTag of an element
        int parent = -1;
        int firstChild = -1;
        int lastChild = -1;
        int next = -1;
        int prev = -1;
        QString text; // text or comment data
        std::vector<Attribute> attributes;
    };

    struct ImageInfo
    {
        int node = -1;
        QString src;
        QString alt;
        QString width;
        QString height;
        QString align;
    };

    ScratchDocument();

    // Replaces the document by "<html><body>" + html + "</body></html>".
    void load(const QString &html);

    const Node &node(int index) const { return m_nodes[std::size_t(index)]; }
    int body() const { return m_body; }

    // The image collection in document order (img elements outside template
    // content), with each attribute as written ("" when absent).
    std::vector<ImageInfo> images() const;
    // The link collection in document order: a and area elements with href.
    std::vector<int> links() const;

    // Replaces the element by the nodes parsed from html in its parent's
    // context, as setting outerHTML does. False when the node has no parent.
    bool replaceOuterHtml(int element, const QString &html);
    // Replaces the element's children by the nodes parsed from html.
    void setInnerHtml(int element, const QString &html);

    // The concatenated text of the node's descendant text nodes.
    QString textContent(int node) const;
    // The body's rendered plain text, line breaks written as CR LF.
    QString bodyInnerText() const;

    QString attribute(int element, QStringView name) const;
    bool hasAttribute(int element, QStringView name) const;

    // Tag name of an element in lower case ("" for unknown tags).
    static QString tagName(int tag);

private:
    int appendNode(Node node);
    void appendChild(int parent, int child);
    void insertBefore(int reference, int child);
    void detach(int child);
    int importGumbo(const void *gumboNode, int parent);
    std::vector<int> parseFragment(const QString &html, int contextTag, bool contextHtml);

    std::vector<Node> m_nodes;
    int m_document = -1;
    int m_body = -1;
};

} // namespace zorvane
