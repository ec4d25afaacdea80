#include "net/count_text.h"

#include "text/text_utils.h"

using namespace Qt::StringLiterals;

namespace zorvane {

QString cleanCountText(const QString &text)
{
    if (text.isEmpty())
        return u"0"_s;
    QString count = text;
    count.remove(u"\r\n"_s);
    count.remove(u'\r');
    count.remove(u'\n');
    count.replace(u'涓', u'万');
    count.remove(u'?');
    count.replace(u'浜', u'亿');
    count.remove(u'约');
    return trimBlanks(count).toString();
}

} // namespace zorvane
