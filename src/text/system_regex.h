#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace zorvane {

// Regular expressions in the dialect the system's patterns are written in:
// always case-insensitive and global; "^" and "$" only at the very start and
// end of the whole text (never before a final line break); "." matches
// anything but CR and LF; "\s" is only space, tab, CR, LF, form feed and
// vertical tab (never U+3000 or U+00A0); replacements use $1, $&, $$.
// Patterns are compiled once per thread and reused.
class SystemRegex
{
public:
    explicit SystemRegex(const QString &pattern);

    bool isValid() const { return m_regex.isValid(); }
    const QRegularExpression &regex() const { return m_regex; }

    // Every match replaced; the text unchanged when the pattern is invalid.
    QString replace(const QString &text, const QString &replacement) const;
    // The values of all matches, in order.
    QStringList matches(const QString &text) const;
    bool matchesAnywhere(const QString &text) const;

    // The dialect pattern rewritten for PCRE2; exposed for tests.
    static QString translate(const QString &pattern);

private:
    QRegularExpression m_regex;
};

} // namespace zorvane
