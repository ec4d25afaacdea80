#include "format/scratch_document.h"

#include "format/inner_text.h"

#include <gumbo.h>

#include <utility>

namespace zorvane {

namespace {

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString fromPiece(const GumboStringPiece &piece)
{
    return QString::fromUtf8(piece.data, qsizetype(piece.length));
}

// The scratch browser runs with scripting on, where the content of a
// noscript element is raw text that is never rendered. The parser only knows
// the scripting-off rules, under which that content would become elements
// and could even close the paragraph around it. A noembed element is parsed
// and hidden exactly the way a scripting browser treats noscript, so the tags
// are renamed before parsing.
void renameNoscript(QByteArray &bytes)
{
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype lt = bytes.indexOf('<'); lt >= 0; lt = bytes.indexOf('<', lt + 1)) {
        const qsizetype name = lt + 1 + (lt + 1 < bytes.size() && bytes.at(lt + 1) == '/' ? 1 : 0);
        const qsizetype end = name + 8;
        if (end > bytes.size() || qstrnicmp(bytes.constData() + name, "noscript", 8) != 0)
            continue;
        const char after = end < bytes.size() ? bytes.at(end) : '>';
        if (!(after == '>' || after == '/' || after == ' ' || after == '\t' || after == '\n' || after == '\r'
              || after == '\f'))
            continue;
        if (out.isEmpty())
            out.reserve(bytes.size());
        out.append(bytes.constData() + from, name - from);
        out.append("noembed");
        from = end;
    }
    if (from == 0)
        return;
    out.append(bytes.constData() + from, bytes.size() - from);
    bytes = std::move(out);
}

struct GumboParse
{
    GumboOptions options = kGumboDefaultOptions;
    QByteArray buffer;
    GumboOutput *output = nullptr;

    GumboParse(QByteArray bytes, GumboTag context, GumboNamespaceEnum ns) : buffer(std::move(bytes))
    {
        options.max_errors = 0; // errors are never looked at; recording them is costly
        options.fragment_context = context;
        options.fragment_namespace = ns;
        output = gumbo_parse_with_options(&options, buffer.constData(), std::size_t(buffer.size()));
    }
    ~GumboParse()
    {
        if (output)
            gumbo_destroy_output(&options, output);
    }
    GumboParse(const GumboParse &) = delete;
    GumboParse &operator=(const GumboParse &) = delete;
};

} // namespace

ScratchDocument::ScratchDocument()
{
    load(QString());
}

int ScratchDocument::appendNode(Node node)
{
    m_nodes.push_back(std::move(node));
    return int(m_nodes.size()) - 1;
}

void ScratchDocument::appendChild(int parent, int child)
{
    Node &p = m_nodes[std::size_t(parent)];
    Node &c = m_nodes[std::size_t(child)];
    c.parent = parent;
    c.prev = p.lastChild;
    c.next = -1;
    if (p.lastChild >= 0)
        m_nodes[std::size_t(p.lastChild)].next = child;
    else
        p.firstChild = child;
    p.lastChild = child;
}

void ScratchDocument::insertBefore(int reference, int child)
{
    Node &r = m_nodes[std::size_t(reference)];
    Node &c = m_nodes[std::size_t(child)];
    c.parent = r.parent;
    c.next = reference;
    c.prev = r.prev;
    if (r.prev >= 0)
        m_nodes[std::size_t(r.prev)].next = child;
    else
        m_nodes[std::size_t(r.parent)].firstChild = child;
    r.prev = child;
}

void ScratchDocument::detach(int child)
{
    Node &c = m_nodes[std::size_t(child)];
    if (c.parent < 0)
        return;
    Node &p = m_nodes[std::size_t(c.parent)];
    if (c.prev >= 0)
        m_nodes[std::size_t(c.prev)].next = c.next;
    else
        p.firstChild = c.next;
    if (c.next >= 0)
        m_nodes[std::size_t(c.next)].prev = c.prev;
    else
        p.lastChild = c.prev;
    c.parent = c.prev = c.next = -1;
}

// Copies a gumbo subtree under parent (or as a detached root when parent is
// -1), without recursion so that deeply nested pages cannot exhaust the stack.
int ScratchDocument::importGumbo(const void *gumboNode, int parent)
{
    struct Pending
    {
        const GumboNode *node;
        int parent;
    };
    std::vector<Pending> stack{{static_cast<const GumboNode *>(gumboNode), parent}};
    int root = -1;
    while (!stack.empty()) {
        const Pending item = stack.back();
        stack.pop_back();
        const GumboNode *g = item.node;
        Node node;
        const GumboVector *children = nullptr;
        switch (g->type) {
        case GUMBO_NODE_DOCUMENT:
            node.kind = Node::Document;
            children = &g->v.document.children;
            break;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const GumboElement &e = g->v.element;
            node.kind = Node::Element;
            node.tag = int(e.tag);
            node.html = e.tag_namespace == GUMBO_NAMESPACE_HTML;
            node.template_ = g->type == GUMBO_NODE_TEMPLATE;
            node.attributes.reserve(e.attributes.length);
            for (unsigned i = 0; i < e.attributes.length; ++i) {
                const auto *a = static_cast<const GumboAttribute *>(e.attributes.data[i]);
                node.attributes.push_back({fromUtf8(a->name), fromUtf8(a->value)});
            }
            if (e.tag == GUMBO_TAG_UNKNOWN) {
                // Keep the name of an unknown element for tagName-based checks.
                GumboStringPiece name = e.original_tag;
                gumbo_tag_from_original_text(&name);
                node.text = fromPiece(name).toLower();
            }
            children = &e.children;
            break;
        }
        case GUMBO_NODE_COMMENT:
            node.kind = Node::Comment;
            node.text = fromUtf8(g->v.text.text);
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            node.kind = Node::Text;
            node.text = fromUtf8(g->v.text.text);
            break;
        }
        const int index = appendNode(std::move(node));
        if (item.parent >= 0)
            appendChild(item.parent, index);
        else
            root = index;
        if (children) {
            for (unsigned i = children->length; i-- > 0;)
                stack.push_back({static_cast<const GumboNode *>(children->data[i]), index});
        }
    }
    return root;
}

void ScratchDocument::load(const QString &html)
{
    m_nodes.clear();
    m_document = m_body = -1;
    QByteArray bytes = QStringView(u"<html><body>").toUtf8() + html.toUtf8() + QByteArrayLiteral("</body></html>");
    renameNoscript(bytes);
    GumboParse parse(std::move(bytes), GUMBO_TAG_LAST, GUMBO_NAMESPACE_HTML);
    m_nodes.reserve(std::size_t(parse.buffer.size() / 24 + 16));
    m_document = importGumbo(parse.output->document, -1);
    for (int child = m_nodes[std::size_t(m_document)].firstChild; child >= 0;
         child = m_nodes[std::size_t(child)].next) {
        if (m_nodes[std::size_t(child)].kind != Node::Element || m_nodes[std::size_t(child)].tag != GUMBO_TAG_HTML)
            continue;
        for (int c = m_nodes[std::size_t(child)].firstChild; c >= 0; c = m_nodes[std::size_t(c)].next) {
            const Node &n = m_nodes[std::size_t(c)];
            if (n.kind == Node::Element && (n.tag == GUMBO_TAG_BODY || n.tag == GUMBO_TAG_FRAMESET))
                m_body = c;
        }
    }
}

std::vector<int> ScratchDocument::parseFragment(const QString &html, int contextTag, bool contextHtml)
{
    QByteArray bytes = html.toUtf8();
    renameNoscript(bytes);
    GumboParse parse(std::move(bytes), GumboTag(contextTag), contextHtml ? GUMBO_NAMESPACE_HTML : GUMBO_NAMESPACE_SVG);
    std::vector<int> result;
    // A fragment is parsed under a synthetic html element holding the nodes.
    const GumboNode *root = parse.output->root;
    if (!root)
        return result;
    const GumboVector &children = root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
        result.push_back(importGumbo(children.data[i], -1));
    return result;
}

bool ScratchDocument::replaceOuterHtml(int element, const QString &html)
{
    const int parent = m_nodes[std::size_t(element)].parent;
    if (parent < 0 || m_nodes[std::size_t(parent)].kind == Node::Document)
        return false;
    const Node &p = m_nodes[std::size_t(parent)];
    const std::vector<int> nodes = parseFragment(html, p.template_ ? int(GUMBO_TAG_TEMPLATE) : p.tag, p.html);
    for (const int n : nodes)
        insertBefore(element, n);
    detach(element);
    return true;
}

void ScratchDocument::setInnerHtml(int element, const QString &html)
{
    while (m_nodes[std::size_t(element)].firstChild >= 0)
        detach(m_nodes[std::size_t(element)].firstChild);
    if (html.isEmpty())
        return;
    const Node &e = m_nodes[std::size_t(element)];
    const std::vector<int> nodes = parseFragment(html, e.template_ ? int(GUMBO_TAG_TEMPLATE) : e.tag, e.html);
    for (const int n : nodes)
        appendChild(element, n);
}

std::vector<ScratchDocument::ImageInfo> ScratchDocument::images() const
{
    std::vector<ImageInfo> result;
    if (m_document < 0)
        return result;
    // Document order walk; template content does not belong to the document.
    int n = m_nodes[std::size_t(m_document)].firstChild;
    while (n >= 0) {
        const Node &node = m_nodes[std::size_t(n)];
        if (node.kind == Node::Element && node.html && node.tag == GUMBO_TAG_IMG) {
            result.push_back({n, attribute(n, u"src"), attribute(n, u"alt"), attribute(n, u"width"),
                              attribute(n, u"height"), attribute(n, u"align")});
        }
        if (node.firstChild >= 0 && !node.template_) {
            n = node.firstChild;
            continue;
        }
        while (n >= 0 && m_nodes[std::size_t(n)].next < 0)
            n = m_nodes[std::size_t(n)].parent;
        if (n >= 0)
            n = m_nodes[std::size_t(n)].next;
    }
    return result;
}

std::vector<int> ScratchDocument::links() const
{
    std::vector<int> result;
    if (m_document < 0)
        return result;
    int n = m_nodes[std::size_t(m_document)].firstChild;
    while (n >= 0) {
        const Node &node = m_nodes[std::size_t(n)];
        if (node.kind == Node::Element && node.html && (node.tag == GUMBO_TAG_A || node.tag == GUMBO_TAG_AREA)
            && hasAttribute(n, u"href"))
            result.push_back(n);
        if (node.firstChild >= 0 && !node.template_) {
            n = node.firstChild;
            continue;
        }
        while (n >= 0 && m_nodes[std::size_t(n)].next < 0)
            n = m_nodes[std::size_t(n)].parent;
        if (n >= 0)
            n = m_nodes[std::size_t(n)].next;
    }
    return result;
}

QString ScratchDocument::textContent(int start) const
{
    QString result;
    int n = m_nodes[std::size_t(start)].firstChild;
    while (n >= 0) {
        const Node &node = m_nodes[std::size_t(n)];
        if (node.kind == Node::Text)
            result += node.text;
        if (node.firstChild >= 0 && !node.template_) {
            n = node.firstChild;
            continue;
        }
        while (n >= 0 && n != start && m_nodes[std::size_t(n)].next < 0)
            n = m_nodes[std::size_t(n)].parent;
        if (n < 0 || n == start)
            break;
        n = m_nodes[std::size_t(n)].next;
    }
    return result;
}

QString ScratchDocument::bodyInnerText() const
{
    return m_body < 0 ? QString() : innerText(*this, m_body);
}

QString ScratchDocument::attribute(int element, QStringView name) const
{
    for (const Attribute &a : m_nodes[std::size_t(element)].attributes) {
        if (a.name == name)
            return a.value;
    }
    return QString();
}

bool ScratchDocument::hasAttribute(int element, QStringView name) const
{
    for (const Attribute &a : m_nodes[std::size_t(element)].attributes) {
        if (a.name == name)
            return true;
    }
    return false;
}

QString ScratchDocument::tagName(int tag)
{
    return QString::fromLatin1(gumbo_normalized_tagname(GumboTag(tag)));
}

} // namespace zorvane
