#pragma once

#include "rewrite/synonyms.h"

#include <QString>
#include <QStringList>

namespace zorvane {

// Synonym replacement written step by step as the routine was first defined:
// one search from the start of the library per candidate and per extension,
// the article rewritten in place. Far too slow for real articles; kept as the
// reference the fast replacement is compared with.
inline QString literalReplaceSynonyms(QString text, const QString &library)
{
    using namespace Qt::StringLiterals;
    if (text.isEmpty())
        return text;
    const QString lib = u"\r\n"_s + library + u"\r\n"_s;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (c != u'\r' && c != u'\n') {
            qsizetype length = 1;
            qsizetype found = lib.indexOf(text.mid(pos, length));
            while (found >= 0) {
                const QString before = found > 0 ? lib.mid(found - 1, 1) : QString();
                const QString after = lib.mid(found + length, 1);
                if (isLibraryBoundary(before) && isLibraryBoundary(after)) {
                    // The line runs from the LF before the word to the CR after it.
                    const qsizetype lineStart = found > 0 ? lib.lastIndexOf(u'\n', found - 1) + 1 : 0;
                    qsizetype lineEnd = lib.indexOf(u'\r', found + length);
                    if (lineEnd < 0)
                        lineEnd = lib.size();
                    const QStringList words = lib.mid(lineStart, lineEnd - lineStart).split(u'|');
                    const QString replacement = after == u"|" ? words.at(1) : words.at(0);
                    text = text.left(pos) + replacement + text.mid(pos + length);
                    pos += replacement.size() - 1;
                    break;
                }
                if (pos + length >= text.size())
                    break;
                ++length;
                found = lib.indexOf(text.mid(pos, length));
            }
        }
        ++pos;
    }
    return text;
}

} // namespace zorvane
