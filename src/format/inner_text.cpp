#include "format/inner_text.h"

#include "format/scratch_document.h"
#include "format/style_sheet.h"

#include <gumbo.h>

#include <QList>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

using Node = ScratchDocument::Node;

enum class Display : std::uint8_t {
    None,
    Inline,
    InlineBlock, // its own line context, no line breaks around it
    Block,
    TableRow,
    TableCell,
    Internal, // row groups and the like: no line breaks of their own
};

enum class WhiteSpace : std::uint8_t { Normal, Pre, PreLine };

struct Style
{
    Display display = Display::Inline;
    WhiteSpace whiteSpace = WhiteSpace::Normal;
    bool visible = true;
    bool replaced = false;         // content is never rendered as text
    bool blockifyChildren = false; // flex and grid items are block-level
    bool floated = false;
};

bool isTag(const Node &n, GumboTag tag)
{
    return n.kind == Node::Element && n.html && n.tag == int(tag);
}

Display defaultDisplay(const ScratchDocument &doc, int index, const Node &n)
{
    if (!n.html)
        return n.tag == GUMBO_TAG_SVG ? Display::InlineBlock : Display::Inline;
    switch (GumboTag(n.tag)) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_COLGROUP:
        return Display::None;
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_P:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_OPTION:
        return Display::Block;
    case GUMBO_TAG_TR:
        return Display::TableRow;
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
        return Display::TableCell;
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TFOOT:
        return Display::Internal;
    case GUMBO_TAG_INPUT:
        return doc.attribute(index, u"type").compare(u"hidden", Qt::CaseInsensitive) == 0 ? Display::None
                                                                                          : Display::InlineBlock;
    case GUMBO_TAG_AUDIO:
        return doc.hasAttribute(index, u"controls") ? Display::InlineBlock : Display::None;
    case GUMBO_TAG_BUTTON:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_MARQUEE:
    case GUMBO_TAG_METER:
    case GUMBO_TAG_PROGRESS:
    case GUMBO_TAG_KEYGEN:
        return Display::InlineBlock;
    case GUMBO_TAG_UNKNOWN:
        if (n.text == u"dialog")
            return doc.hasAttribute(index, u"open") ? Display::Block : Display::None;
        if (n.text == u"search")
            return Display::Block;
        return Display::Inline;
    default:
        return Display::Inline;
    }
}

bool defaultReplaced(const Node &n)
{
    if (!n.html)
        return n.tag == GUMBO_TAG_SVG;
    switch (GumboTag(n.tag)) {
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_METER:
    case GUMBO_TAG_PROGRESS:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_FRAME:
        return true;
    default:
        return false;
    }
}

Display displayFromCss(QStringView value, Display fallback)
{
    if (value == u"none")
        return Display::None;
    if (value == u"block" || value == u"flex" || value == u"grid" || value == u"table" || value == u"list-item"
        || value == u"flow-root" || value == u"table-caption" || value == u"-webkit-box")
        return Display::Block;
    if (value == u"inline")
        return Display::Inline;
    if (value == u"inline-block" || value == u"inline-flex" || value == u"inline-grid" || value == u"inline-table"
        || value == u"-webkit-inline-box")
        return Display::InlineBlock;
    if (value == u"table-row")
        return Display::TableRow;
    if (value == u"table-cell")
        return Display::TableCell;
    if (value == u"contents" || value == u"table-row-group" || value == u"table-header-group"
        || value == u"table-footer-group")
        return Display::Internal;
    return fallback;
}

void applyDeclaration(const StyleSheet::Declaration &d, Style &style)
{
    const QStringView value = d.value;
    switch (d.property) {
    case StyleSheet::Declaration::Display:
        style.display = displayFromCss(value, style.display);
        style.blockifyChildren =
            value == u"flex" || value == u"grid" || value == u"inline-flex" || value == u"inline-grid";
        break;
    case StyleSheet::Declaration::WhiteSpace:
        if (value == u"pre" || value == u"pre-wrap" || value == u"break-spaces")
            style.whiteSpace = WhiteSpace::Pre;
        else if (value == u"pre-line")
            style.whiteSpace = WhiteSpace::PreLine;
        else if (value == u"normal" || value == u"nowrap")
            style.whiteSpace = WhiteSpace::Normal;
        break;
    case StyleSheet::Declaration::Visibility:
        if (value == u"hidden" || value == u"collapse")
            style.visible = false;
        else if (value == u"visible")
            style.visible = true;
        break;
    case StyleSheet::Declaration::Float:
    case StyleSheet::Declaration::Position:
        // Floated and absolutely positioned boxes are block-level.
        if ((d.property == StyleSheet::Declaration::Float && value != u"none")
            || (d.property == StyleSheet::Declaration::Position && (value == u"absolute" || value == u"fixed")))
            style.floated = true;
        break;
    }
}

// Renders the collected items the way the innerText getter joins them: runs
// of required line breaks become as many line breaks as the largest of them,
// and none are written at the start or the end.
class TextCollector
{
public:
    QString out;

    void requireBreaks(int count)
    {
        m_pendingBreaks = std::max(m_pendingBreaks, count);
        newLine();
    }
    void newLine()
    {
        m_pendingSpace = false;
        m_lineStart = true;
    }
    void emitString(QStringView s)
    {
        if (s.isEmpty())
            return;
        if (m_pendingBreaks > 0 && !out.isEmpty())
            out.append(QString(m_pendingBreaks, u'\n'));
        m_pendingBreaks = 0;
        out.append(s);
    }
    void lineBreak()
    {
        m_pendingSpace = false;
        emitString(u"\n");
        m_lineStart = true;
    }
    // Atomic inline content (an image, a control): stops spaces on either
    // side from collapsing into each other.
    void atomicInline()
    {
        if (m_pendingSpace)
            emitString(u" ");
        m_pendingSpace = false;
        m_lineStart = false;
    }
    void text(const QString &t, WhiteSpace ws)
    {
        if (t.isEmpty())
            return;
        if (ws == WhiteSpace::Pre) {
            if (m_pendingSpace)
                emitString(u" ");
            m_pendingSpace = false;
            emitString(t);
            m_lineStart = t.endsWith(u'\n');
            return;
        }
        m_buffer.clear();
        for (const QChar c : t) {
            const char16_t u = c.unicode();
            if (u == u'\n' && ws == WhiteSpace::PreLine) {
                emitString(m_buffer);
                m_buffer.clear();
                lineBreak();
                continue;
            }
            if (u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f') {
                if (!m_lineStart)
                    m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace)
                m_buffer.append(u' ');
            m_pendingSpace = false;
            m_buffer.append(c);
            m_lineStart = false;
        }
        emitString(m_buffer);
    }

private:
    QString m_buffer;
    int m_pendingBreaks = 0;
    bool m_pendingSpace = false;
    bool m_lineStart = true;
};

bool isLastCell(const ScratchDocument &doc, int cell)
{
    for (int n = doc.node(cell).next; n >= 0; n = doc.node(n).next) {
        const Node &s = doc.node(n);
        if ((isTag(s, GUMBO_TAG_TD) || isTag(s, GUMBO_TAG_TH)) && !doc.hasAttribute(n, u"hidden"))
            return false;
    }
    return true;
}

bool hasRow(const ScratchDocument &doc, int section)
{
    for (int n = doc.node(section).firstChild; n >= 0; n = doc.node(n).next) {
        if (isTag(doc.node(n), GUMBO_TAG_TR))
            return true;
    }
    return false;
}

bool isLastRow(const ScratchDocument &doc, int row)
{
    for (int n = doc.node(row).next; n >= 0; n = doc.node(n).next) {
        if (isTag(doc.node(n), GUMBO_TAG_TR))
            return false;
    }
    const int section = doc.node(row).parent;
    if (section < 0)
        return true;
    const Node &s = doc.node(section);
    if (!(isTag(s, GUMBO_TAG_TBODY) || isTag(s, GUMBO_TAG_THEAD) || isTag(s, GUMBO_TAG_TFOOT)))
        return true;
    for (int n = s.next; n >= 0; n = doc.node(n).next) {
        const Node &t = doc.node(n);
        if ((isTag(t, GUMBO_TAG_TBODY) || isTag(t, GUMBO_TAG_THEAD) || isTag(t, GUMBO_TAG_TFOOT)) && hasRow(doc, n))
            return false;
    }
    return true;
}

struct Frame
{
    int node;
    bool exit;
    Style inherited; // for an exit frame: the element's own style
};

} // namespace

QString innerText(const ScratchDocument &doc, int element)
{
    TextCollector collector;
    std::vector<Frame> stack;
    const Node &root = doc.node(element);
    if (root.kind != Node::Element)
        return QString();

    // The element itself only contributes its children; its own line breaks
    // would be removed at the edges anyway.
    auto pushChildren = [&](int parent, const Style &style) {
        const Node &p = doc.node(parent);
        const bool closedDetails = isTag(p, GUMBO_TAG_DETAILS) && !doc.hasAttribute(parent, u"open");
        const std::size_t mark = stack.size();
        bool summarySeen = false;
        for (int c = p.firstChild; c >= 0; c = doc.node(c).next) {
            if (closedDetails) {
                if (summarySeen || !isTag(doc.node(c), GUMBO_TAG_SUMMARY))
                    continue;
                summarySeen = true;
            }
            stack.push_back({c, false, style});
        }
        std::reverse(stack.begin() + std::ptrdiff_t(mark), stack.end());
    };

    Style start;
    if (root.html
        && (root.tag == GUMBO_TAG_PRE || root.tag == GUMBO_TAG_LISTING || root.tag == GUMBO_TAG_XMP
            || root.tag == GUMBO_TAG_PLAINTEXT || root.tag == GUMBO_TAG_TEXTAREA))
        start.whiteSpace = WhiteSpace::Pre;
    const StyleSheet sheet(doc);
    for (const StyleSheet::Declaration &d : sheet.cascade(element))
        applyDeclaration(d, start);
    if (start.display == Display::None || defaultReplaced(root))
        return QString();
    pushChildren(element, start);

    while (!stack.empty()) {
        const Frame frame = stack.back();
        stack.pop_back();
        const Node &n = doc.node(frame.node);

        if (frame.exit) {
            const Style &own = frame.inherited;
            switch (own.display) {
            case Display::Block:
                collector.requireBreaks(isTag(n, GUMBO_TAG_P) ? 2 : 1);
                break;
            case Display::TableCell:
                if (!isLastCell(doc, frame.node))
                    collector.emitString(u"\t");
                collector.newLine();
                break;
            case Display::TableRow:
                if (!isLastRow(doc, frame.node))
                    collector.emitString(u"\n");
                collector.newLine();
                break;
            case Display::InlineBlock:
                collector.atomicInline();
                break;
            default:
                break;
            }
            continue;
        }

        if (n.kind == Node::Text) {
            if (frame.inherited.visible)
                collector.text(n.text, frame.inherited.whiteSpace);
            continue;
        }
        if (n.kind != Node::Element)
            continue;

        Style style;
        style.whiteSpace = frame.inherited.whiteSpace;
        style.visible = frame.inherited.visible;
        style.display = defaultDisplay(doc, frame.node, n);
        style.replaced = defaultReplaced(n);
        if (n.html) {
            switch (GumboTag(n.tag)) {
            case GUMBO_TAG_PRE:
            case GUMBO_TAG_LISTING:
            case GUMBO_TAG_XMP:
            case GUMBO_TAG_PLAINTEXT:
                style.whiteSpace = WhiteSpace::Pre;
                break;
            case GUMBO_TAG_NOBR:
                style.whiteSpace = WhiteSpace::Normal;
                break;
            default:
                break;
            }
        }
        if (doc.hasAttribute(frame.node, u"hidden"))
            style.display = Display::None;
        if (!sheet.isEmpty() || doc.hasAttribute(frame.node, u"style")) {
            for (const StyleSheet::Declaration &d : sheet.cascade(frame.node))
                applyDeclaration(d, style);
        }
        if (style.display == Display::None)
            continue;
        if (style.floated && (style.display == Display::Inline || style.display == Display::InlineBlock))
            style.display = Display::Block;
        if (frame.inherited.blockifyChildren
            && (style.display == Display::Inline || style.display == Display::InlineBlock))
            style.display = Display::Block;

        if (isTag(n, GUMBO_TAG_BR)) {
            if (style.visible)
                collector.lineBreak();
            continue;
        }

        switch (style.display) {
        case Display::Block:
            collector.requireBreaks(isTag(n, GUMBO_TAG_P) ? 2 : 1);
            break;
        case Display::TableRow:
        case Display::TableCell:
            collector.newLine();
            break;
        case Display::InlineBlock:
            collector.atomicInline();
            collector.newLine();
            break;
        default:
            break;
        }
        if (style.replaced) {
            if (style.display == Display::Inline)
                collector.atomicInline();
            if (style.display == Display::Block)
                collector.requireBreaks(1);
            if (style.display == Display::InlineBlock)
                collector.atomicInline();
            continue;
        }
        Style exitStyle = style;
        stack.push_back({frame.node, true, exitStyle});
        Style childStyle = style;
        pushChildren(frame.node, childStyle);
    }
    collector.out.replace(u'\n', u"\r\n"_s);
    return collector.out;
}

QString htmlToInnerText(const QString &html)
{
    ScratchDocument document;
    document.load(html);
    return document.bodyInnerText();
}

} // namespace zorvane
