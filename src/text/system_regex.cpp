#include "text/system_regex.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QRegularExpression &compiled(const QString &pattern)
{
    thread_local QHash<QString, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end()) {
        QRegularExpression re(SystemRegex::translate(pattern), QRegularExpression::CaseInsensitiveOption);
        re.optimize();
        it = cache.insert(pattern, re);
    }
    return it.value();
}

// Appends the replacement for one match, expanding $1..$99, $&, $`, $' and $$
// as the scripting runtime does; anything else is literal.
void appendExpanded(QString &out, const QString &replacement, const QRegularExpressionMatch &m, const QString &subject)
{
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement.at(i);
        if (c != u'$' || i + 1 >= n) {
            out += c;
            continue;
        }
        const QChar next = replacement.at(i + 1);
        if (next == u'$') {
            out += u'$';
            ++i;
        } else if (next == u'&') {
            out += m.captured(0);
            ++i;
        } else if (next == u'`') {
            out += QStringView(subject).left(m.capturedStart(0));
            ++i;
        } else if (next == u'\'') {
            out += QStringView(subject).mid(m.capturedEnd(0));
            ++i;
        } else if (next.isDigit() && next.unicode() < 128) {
            int group = next.digitValue();
            qsizetype used = 1;
            if (i + 2 < n && replacement.at(i + 2).unicode() < 128 && replacement.at(i + 2).isDigit()) {
                const int two = group * 10 + replacement.at(i + 2).digitValue();
                if (two <= m.lastCapturedIndex()) {
                    group = two;
                    used = 2;
                }
            }
            if (group == 0 || group > m.regularExpression().captureCount()) {
                out += c;
                continue;
            }
            out += m.captured(group);
            i += used;
        } else {
            out += c;
        }
    }
}

} // namespace

SystemRegex::SystemRegex(const QString &pattern) : m_regex(compiled(pattern))
{}

QString SystemRegex::translate(const QString &pattern)
{
    // (*ANYCRLF) makes "." stop at CR as well as LF. "$" becomes \z so that it
    // never matches before a final line break; PCRE2's \s without Unicode
    // properties is already the six ASCII white-space characters.
    QString out = u"(*ANYCRLF)"_s;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'\\' && i + 1 < pattern.size()) {
            out += c;
            out += pattern.at(++i);
            continue;
        }
        if (inClass) {
            if (c == u']')
                inClass = false;
            out += c;
            continue;
        }
        if (c == u'[') {
            inClass = true;
            out += c;
            // A "]" right after "[" or "[^" is a literal member, not the end.
            if (i + 1 < pattern.size() && pattern.at(i + 1) == u'^')
                out += pattern.at(++i);
            if (i + 1 < pattern.size() && pattern.at(i + 1) == u']')
                out += pattern.at(++i);
            continue;
        }
        if (c == u'$')
            out += u"\\z"_s;
        else
            out += c;
    }
    return out;
}

QString SystemRegex::replace(const QString &text, const QString &replacement) const
{
    if (!m_regex.isValid())
        return text;
    QString out;
    qsizetype last = 0;
    auto it = m_regex.globalMatch(text);
    // Nothing to replace: the text itself, not a copy of it.
    if (!it.hasNext())
        return text;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart(0) - last);
        appendExpanded(out, replacement, m, text);
        last = m.capturedEnd(0);
    }
    out += QStringView(text).mid(last);
    return out;
}

QStringList SystemRegex::matches(const QString &text) const
{
    QStringList values;
    if (!m_regex.isValid())
        return values;
    auto it = m_regex.globalMatch(text);
    while (it.hasNext())
        values.append(it.next().captured(0));
    return values;
}

bool SystemRegex::matchesAnywhere(const QString &text) const
{
    return m_regex.isValid() && m_regex.match(text).hasMatch();
}

} // namespace zorvane
