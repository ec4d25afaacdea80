#include "net/count_text.h"

using namespace Qt::StringLiterals;

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
    qsizetype first = 0;
    qsizetype last = count.size();
    while (first < last && count.at(first) == u' ')
        ++first;
    while (last > first && count.at(last - 1) == u' ')
        --last;
    return count.mid(first, last - first);
}
