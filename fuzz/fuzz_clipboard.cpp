// What the clipboard gives the editor: a browser's HTML (the fragment, the
// body, or the text as it is) and plain text made HTML. A whole long page may
// be on the clipboard.
#include "editor/editor_session.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Whether piece stands in text, in time linear in both (Knuth-Morris-Pratt):
// a search that may compare a long periodic piece at every start would take
// longer than the reader, and the time-out would blame the reader.
bool holds(QStringView text, QStringView piece)
{
    if (piece.isEmpty())
        return true;
    std::vector<qsizetype> border(std::size_t(piece.size()) + 1, 0);
    for (qsizetype i = 1, k = 0; i < piece.size(); ++i) {
        while (k > 0 && piece[i] != piece[k])
            k = border[std::size_t(k)];
        if (piece[i] == piece[k])
            ++k;
        border[std::size_t(i + 1)] = k;
    }
    for (qsizetype i = 0, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != piece[k])
            k = border[std::size_t(k)];
        if (text[i] == piece[k])
            ++k;
        if (k == piece.size())
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString html = htmlFromClipboard(text);
    // A piece of what was there, never more.
    if (html.size() > text.size() || !holds(text, html))
        __builtin_trap();
    // Plain text never becomes markup: every "<" left is a line break's.
    const QString plain = plainTextToHtml(text);
    if (plain.contains(u'"') || plain.contains(u'>') != plain.contains(u"<br>"_s))
        __builtin_trap();
    QString withoutBreaks = plain;
    withoutBreaks.remove(u"<br>"_s);
    if (withoutBreaks.contains(u'<') || withoutBreaks.contains(u'>') || withoutBreaks.contains(u'\n'))
        __builtin_trap();
    return 0;
}
