// What the clipboard gives the editor: a browser's HTML (the fragment, the
// body, or the text as it is) and plain text made HTML. A whole long page may
// be on the clipboard.
#include "editor/editor_session.h"

#include <QString>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString html = htmlFromClipboard(text);
    // A piece of what was there, never more.
    if (html.size() > text.size() || (!html.isEmpty() && !text.contains(html)))
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
