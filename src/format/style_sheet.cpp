#include "format/style_sheet.h"

#include "format/scratch_document.h"

#include <gumbo.h>

#include <algorithm>
#include <optional>

namespace zorvane {

namespace {

using Node = ScratchDocument::Node;

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80 || c == u'\\';
}

QString withoutComments(QStringView css)
{
    QString out;
    out.reserve(css.size());
    qsizetype from = 0;
    while (true) {
        const qsizetype start = css.indexOf(u"/*", from);
        if (start < 0)
            break;
        out += css.mid(from, start - from);
        const qsizetype end = css.indexOf(u"*/", start + 2);
        if (end < 0)
            return out;
        from = end + 2;
    }
    out += css.mid(from);
    return out;
}

// The end of the block whose "{" is at open (the index of the matching "}"),
// or the end of the text when it is not closed.
qsizetype blockEnd(QStringView css, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < css.size(); ++i) {
        if (css.at(i) == u'{')
            ++depth;
        else if (css.at(i) == u'}' && --depth == 0)
            return i;
    }
    return css.size();
}

QString elementName(const Node &n)
{
    if (n.tag == GUMBO_TAG_UNKNOWN)
        return n.text;
    return QString::fromLatin1(gumbo_normalized_tagname(GumboTag(n.tag)));
}

} // namespace

std::vector<StyleSheet::Declaration> StyleSheet::parseDeclarations(QStringView css)
{
    std::vector<Declaration> result;
    for (QStringView declaration : css.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        QString value = declaration.mid(colon + 1).trimmed().toString().toLower();
        bool important = false;
        const qsizetype bang = value.indexOf(u'!');
        if (bang >= 0) {
            important = value.mid(bang + 1).trimmed() == u"important";
            value = value.left(bang).trimmed();
        }
        Declaration::Property p;
        if (property == u"display")
            p = Declaration::Display;
        else if (property == u"visibility")
            p = Declaration::Visibility;
        else if (property == u"white-space")
            p = Declaration::WhiteSpace;
        else if (property == u"float")
            p = Declaration::Float;
        else if (property == u"position")
            p = Declaration::Position;
        else
            continue;
        result.push_back({p, value, important});
    }
    return result;
}

StyleSheet::StyleSheet(const ScratchDocument &document) : m_document(document)
{
    if (document.body() < 0)
        return;
    // Style elements anywhere in the document; the article is written into
    // the body, so the page's head styles end up there too.
    int root = document.node(document.body()).parent;
    if (root < 0)
        root = document.body();
    int n = document.node(root).firstChild;
    while (n >= 0) {
        const Node &node = document.node(n);
        if (node.kind == Node::Element && node.html && node.tag == GUMBO_TAG_STYLE) {
            addCss(document.textContent(n));
        } else if (node.firstChild >= 0 && !node.template_) {
            n = node.firstChild;
            continue;
        }
        while (n >= 0 && n != root && document.node(n).next < 0)
            n = document.node(n).parent;
        if (n < 0 || n == root)
            break;
        n = document.node(n).next;
    }
}

void StyleSheet::addCss(QStringView raw)
{
    const QString css = withoutComments(raw);
    qsizetype pos = 0;
    while (pos < css.size()) {
        while (pos < css.size() && (isSpace(css.at(pos)) || css.at(pos) == u'}' || css.at(pos) == u';'))
            ++pos;
        if (pos >= css.size())
            break;
        const qsizetype open = css.indexOf(u'{', pos);
        if (css.at(pos) == u'@') {
            const qsizetype semicolon = css.indexOf(u';', pos);
            if (open < 0 || (semicolon >= 0 && semicolon < open)) {
                pos = semicolon < 0 ? css.size() : semicolon + 1;
                continue;
            }
            const qsizetype close = blockEnd(css, open);
            const QString prelude = css.mid(pos, open - pos).toLower().simplified();
            // Unconditional screen media apply to the scratch browser; size,
            // print and other conditions are left out.
            if (prelude == u"@media screen" || prelude == u"@media all" || prelude == u"@media")
                addCss(QStringView(css).mid(open + 1, close - open - 1));
            pos = close + 1;
            continue;
        }
        if (open < 0)
            break;
        const qsizetype close = css.indexOf(u'}', open);
        const qsizetype end = close < 0 ? css.size() : close;
        addRule(QStringView(css).mid(pos, open - pos), QStringView(css).mid(open + 1, end - open - 1));
        pos = end + 1;
    }
}

void StyleSheet::addRule(QStringView selectors, QStringView body)
{
    std::vector<Declaration> declarations = parseDeclarations(body);
    if (declarations.empty())
        return;
    for (QStringView text : selectors.split(u',')) {
        Selector selector;
        bool supported = true;
        QChar pendingCombinator;
        qsizetype i = 0;
        const qsizetype size = text.size();
        int ids = 0, classes = 0, tags = 0;
        while (i < size && supported) {
            bool sawSpace = false;
            while (i < size && isSpace(text.at(i))) {
                ++i;
                sawSpace = true;
            }
            if (i >= size)
                break;
            const QChar c = text.at(i);
            if (c == u'>' || c == u'+' || c == u'~') {
                pendingCombinator = c;
                ++i;
                continue;
            }
            if (!selector.compounds.empty()) {
                if (pendingCombinator.isNull() && !sawSpace) {
                    supported = false;
                    break;
                }
                selector.combinators.push_back(pendingCombinator.isNull() ? QChar(u' ') : pendingCombinator);
            } else if (!pendingCombinator.isNull()) {
                supported = false;
                break;
            }
            pendingCombinator = QChar();
            Compound compound;
            bool any = false;
            while (i < size && !isSpace(text.at(i)) && text.at(i) != u'>' && text.at(i) != u'+' && text.at(i) != u'~') {
                const QChar k = text.at(i);
                if (k == u'*') {
                    ++i;
                    any = true;
                } else if (k == u'#' || k == u'.') {
                    const qsizetype start = ++i;
                    while (i < size && isNameChar(text.at(i)))
                        ++i;
                    if (i == start) {
                        supported = false;
                        break;
                    }
                    const QString name = text.mid(start, i - start).toString();
                    if (k == u'#') {
                        compound.id = name;
                        ++ids;
                    } else {
                        compound.classes.push_back(name);
                        ++classes;
                    }
                    any = true;
                } else if (k == u'[') {
                    const qsizetype close = text.indexOf(u']', i);
                    if (close < 0) {
                        supported = false;
                        break;
                    }
                    const QStringView inside = text.mid(i + 1, close - i - 1).trimmed();
                    const qsizetype eq = inside.indexOf(u'=');
                    if (eq < 0) {
                        compound.attributes.push_back({inside.toString().toLower(), QString()});
                        compound.attributeHasValue.push_back(false);
                    } else {
                        if (eq > 0 && !isNameChar(inside.at(eq - 1))) {
                            supported = false; // ~= |= ^= $= *=
                            break;
                        }
                        QString value = inside.mid(eq + 1).trimmed().toString();
                        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\''))
                            value = value.mid(1, value.size() - 2);
                        compound.attributes.push_back({inside.left(eq).trimmed().toString().toLower(), value});
                        compound.attributeHasValue.push_back(true);
                    }
                    ++classes;
                    i = close + 1;
                    any = true;
                } else if (isNameChar(k)) {
                    const qsizetype start = i;
                    while (i < size && isNameChar(text.at(i)))
                        ++i;
                    compound.tag = text.mid(start, i - start).toString().toLower();
                    ++tags;
                    any = true;
                } else {
                    supported = false; // pseudo-classes, pseudo-elements, escapes, namespaces
                    break;
                }
            }
            if (!any)
                supported = false;
            selector.compounds.push_back(std::move(compound));
        }
        if (!supported || selector.compounds.empty() || !pendingCombinator.isNull())
            continue;
        selector.specificity = ids * 10000 + classes * 100 + tags;
        const int index = int(m_rules.size());
        const Compound &key = selector.compounds.back();
        if (!key.id.isEmpty())
            m_byId[key.id].push_back(index);
        else if (!key.classes.empty())
            m_byClass[key.classes.front()].push_back(index);
        else if (!key.tag.isEmpty())
            m_byTag[key.tag].push_back(index);
        else
            m_universal.push_back(index);
        m_rules.push_back({std::move(selector), index, declarations});
    }
}

bool StyleSheet::matchesCompound(const Compound &compound, int element) const
{
    const Node &n = m_document.node(element);
    if (n.kind != Node::Element)
        return false;
    if (!compound.tag.isEmpty() && elementName(n) != compound.tag)
        return false;
    if (!compound.id.isEmpty() && m_document.attribute(element, u"id") != compound.id)
        return false;
    if (!compound.classes.empty()) {
        const QString classAttribute = m_document.attribute(element, u"class");
        const QList<QStringView> names = QStringView(classAttribute).split(u' ', Qt::SkipEmptyParts);
        for (const QString &wanted : compound.classes) {
            bool found = false;
            for (const QStringView name : names) {
                if (name.trimmed() == wanted) {
                    found = true;
                    break;
                }
            }
            if (!found)
                return false;
        }
    }
    for (std::size_t i = 0; i < compound.attributes.size(); ++i) {
        const auto &[name, value] = compound.attributes[i];
        if (!m_document.hasAttribute(element, name))
            return false;
        if (compound.attributeHasValue[i] && m_document.attribute(element, name) != value)
            return false;
    }
    return true;
}

// Right-to-left matching. A descendant search that reaches the root without
// a match fails for every higher ancestor too, so it stops the whole
// attempt; this keeps selectors such as "div div div p" linear in the
// depth of the tree instead of exponential.
StyleSheet::Match StyleSheet::match(const Selector &selector, int compound, int element) const
{
    if (!matchesCompound(selector.compounds[std::size_t(compound)], element))
        return Match::NotHere;
    if (compound == 0)
        return Match::Yes;
    const QChar combinator = selector.combinators[std::size_t(compound - 1)];
    auto previousElement = [this](int n) {
        for (int p = m_document.node(n).prev; p >= 0; p = m_document.node(p).prev) {
            if (m_document.node(p).kind == Node::Element)
                return p;
        }
        return -1;
    };
    auto parentElement = [this](int n) {
        const int p = m_document.node(n).parent;
        return p >= 0 && m_document.node(p).kind == Node::Element ? p : -1;
    };
    if (combinator == u'>') {
        const int parent = parentElement(element);
        return parent < 0 ? Match::Never : match(selector, compound - 1, parent);
    }
    if (combinator == u'+' || combinator == u'~') {
        for (int p = previousElement(element); p >= 0; p = previousElement(p)) {
            const Match m = match(selector, compound - 1, p);
            if (m != Match::NotHere || combinator == u'+')
                return m;
        }
        return Match::NotHere;
    }
    for (int p = parentElement(element); p >= 0; p = parentElement(p)) {
        const Match m = match(selector, compound - 1, p);
        if (m != Match::NotHere)
            return m;
    }
    return Match::Never;
}

bool StyleSheet::matches(const Selector &selector, int compound, int element) const
{
    return match(selector, compound, element) == Match::Yes;
}

std::vector<StyleSheet::Declaration> StyleSheet::cascade(int element) const
{
    std::vector<int> candidates;
    if (!m_rules.empty()) {
        auto add = [&](const QHash<QString, std::vector<int>> &map, const QString &key) {
            const auto it = map.constFind(key);
            if (it != map.cend())
                candidates.insert(candidates.end(), it->begin(), it->end());
        };
        if (!m_byId.isEmpty()) {
            const QString id = m_document.attribute(element, u"id");
            if (!id.isEmpty())
                add(m_byId, id);
        }
        if (!m_byClass.isEmpty()) {
            const QString classAttribute = m_document.attribute(element, u"class");
            for (const QStringView name : QStringView(classAttribute).split(u' ', Qt::SkipEmptyParts))
                add(m_byClass, name.trimmed().toString());
        }
        add(m_byTag, elementName(m_document.node(element)));
        candidates.insert(candidates.end(), m_universal.begin(), m_universal.end());
    }
    std::vector<const Rule *> matched;
    for (const int index : candidates) {
        const Rule &rule = m_rules[std::size_t(index)];
        if (matches(rule.selector, int(rule.selector.compounds.size()) - 1, element))
            matched.push_back(&rule);
    }
    std::sort(matched.begin(), matched.end(), [](const Rule *a, const Rule *b) {
        return a->selector.specificity != b->selector.specificity ? a->selector.specificity < b->selector.specificity
                                                                  : a->order < b->order;
    });
    matched.erase(std::unique(matched.begin(), matched.end()), matched.end());

    std::vector<Declaration> inlineDeclarations;
    if (m_document.hasAttribute(element, u"style"))
        inlineDeclarations = parseDeclarations(m_document.attribute(element, u"style"));

    std::vector<Declaration> result;
    for (const bool important : {false, true}) {
        for (const Rule *rule : matched) {
            for (const Declaration &d : rule->declarations) {
                if (d.important == important)
                    result.push_back(d);
            }
        }
        for (const Declaration &d : inlineDeclarations) {
            if (d.important == important)
                result.push_back(d);
        }
    }
    return result;
}

} // namespace zorvane
