#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace zorvane {

class ScratchDocument;

// The author style rules of a document's style elements, reduced to what
// decides whether and how text is rendered: display, visibility, white-space,
// float and position. Selectors made of type, id, class and attribute tests
// joined by descendant, child and sibling combinators are matched; a selector
// with a pseudo-class or pseudo-element never matches (it depends on state
// such as hovering, or on boxes the document does not have). Rules inside
// conditional media blocks are left out.
class StyleSheet
{
public:
    struct Declaration
    {
        enum Property : unsigned char { Display, Visibility, WhiteSpace, Float, Position };
        Property property;
        QString value; // lower case, without !important
        bool important = false;
    };

    // Declarations of a style attribute or rule body that matter here.
    static std::vector<Declaration> parseDeclarations(QStringView css);

    // Collects the rules of every style element of the document.
    explicit StyleSheet(const ScratchDocument &document);

    bool isEmpty() const { return m_rules.empty(); }

    // The declarations that apply to the element, in cascade order (later
    // ones win): rule declarations by specificity and order, then the style
    // attribute, then important rule declarations, then important ones of the
    // style attribute.
    std::vector<Declaration> cascade(int element) const;

private:
    struct Compound
    {
        QString tag; // empty: any
        QString id;
        std::vector<QString> classes;
        std::vector<std::pair<QString, QString>> attributes; // name, value ("" with exists)
        std::vector<bool> attributeHasValue;
    };
    struct Selector
    {
        std::vector<Compound> compounds; // left to right
        std::vector<QChar> combinators;  // between compounds: ' ', '>', '+', '~'
        int specificity = 0;
    };
    struct Rule
    {
        Selector selector;
        int order = 0;
        std::vector<Declaration> declarations;
    };

    void addCss(QStringView css);
    void addRule(QStringView selectors, QStringView body);
    enum class Match { Yes, NotHere, Never };
    Match match(const Selector &selector, int compound, int element) const;
    bool matches(const Selector &selector, int compound, int element) const;
    bool matchesCompound(const Compound &compound, int element) const;

    const ScratchDocument &m_document;
    std::vector<Rule> m_rules;
    QHash<QString, std::vector<int>> m_byId;
    QHash<QString, std::vector<int>> m_byClass;
    QHash<QString, std::vector<int>> m_byTag;
    std::vector<int> m_universal;
};

} // namespace zorvane
