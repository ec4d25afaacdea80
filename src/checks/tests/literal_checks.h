#pragma once

// The checks written plainly, step by step, exactly as the scans are
// described: whole-library searches from the start for every candidate, the
// text rewritten in place. Far too slow for real use; kept as the reference
// the fast implementations are compared with.

#include "checks/typo_check.h"

#include <QString>
#include <QStringList>

namespace zorvane {

namespace literal {

using namespace Qt::StringLiterals;

inline QString markTypos(const QString &input, const QString &library, TypoMark mark, int &count)
{
    count = 0;
    QString text = input;
    if (text.isEmpty())
        return text;
    const QString lib = u"\r\n"_s + library + u"\r\n"_s;
    // 1-based positions; at(p - 1) reads position p.
    qsizetype pos = 1;
    while (pos <= text.size()) {
        const QChar c = text.at(pos - 1);
        if (c != u'\r' && c != u'\n') {
            qsizetype length = 1;
            for (;;) {
                const QString cand = text.mid(pos - 1, length);
                const qsizetype found = lib.indexOf(cand) + 1; // 0: none
                if (found == 0)
                    break;
                const bool beforeOk = found == 1 || lib.at(found - 2) == u'\n';
                const qsizetype afterIndex = found - 1 + cand.size();
                const bool afterOk = afterIndex < lib.size() && lib.at(afterIndex) == u'|';
                if (beforeOk && afterOk) {
                    QString replacement;
                    if (mark == TypoMark::Mark) {
                        replacement = u"<font color=red>"_s + cand + u"</font>"_s;
                    } else {
                        const qsizetype lineStart = found == 1 ? 0 : lib.lastIndexOf(u'\n', found - 2) + 1;
                        const qsizetype lineEnd = lib.indexOf(u'\r', afterIndex);
                        const QString line = lib.mid(lineStart, lineEnd - lineStart);
                        replacement = line.split(u'|').value(1);
                    }
                    text = text.left(pos - 1) + replacement + text.mid(pos - 1 + cand.size());
                    ++count;
                    pos = pos + replacement.size() - 1;
                    break;
                }
                if (pos - 1 + length >= text.size())
                    break; // the candidate already reaches the end of the text
                ++length;
            }
        }
        ++pos;
    }
    return text;
}

struct SensitiveResult
{
    int count = 0;
    QString marked;
};

inline SensitiveResult checkSensitiveWords(const QString &html, const QString &library)
{
    SensitiveResult result;
    result.marked = html;
    const QStringList lines = library.split(u"\r\n"_s);
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        if (result.marked.contains(line)) {
            ++result.count;
            result.marked.replace(line, u"<font color=red>"_s + line + u"</font>"_s);
        }
    }
    return result;
}

} // namespace literal

} // namespace zorvane
