#pragma once

// News-search result pages, shared by the title-search tests, the statistics
// panel's tests and the benchmark. The generated ones have the shape of the
// service's pages, with the markup that makes lower-casing tag names hard
// (upper- and mixed-case tags, attributes with blanks, "<" in scripts and
// texts, tag text inside other tags).

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace zorvane {

namespace ResultPages {

using namespace Qt::StringLiterals;

inline QString chineseText(QRandomGenerator &random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(char16_t(0x4E00 + random.bounded(3000) * 7));
    return text;
}

// Upper case about a third of the time, as pages written by hand mix both.
inline QString tagCase(QRandomGenerator &random, const QString &name)
{
    const int pick = int(random.bounded(6));
    if (pick < 2)
        return name.toUpper();
    if (pick == 2)
        return name.left(1).toUpper() + name.mid(1);
    return name;
}

// A page of about `size` characters ending in "</HTML>".
inline QString realistic(quint32 seed, qsizetype size)
{
    QRandomGenerator random(seed);
    const auto tag = [&](const QString &name) { return tagCase(random, name); };
    QString page = u"<" + tag(u"html"_s) + u"><" + tag(u"head"_s) + u"><" + tag(u"title"_s) + u">"
                   + chineseText(random, 8) + u"</" + tag(u"title"_s) + u">\r\n<" + tag(u"script"_s)
                   + u" type=\"text/javascript\">\r\nfunction f(a,n){var s=\"\";for(var i=0;i<n;i++){if(a[i]>0)s+=\"<"
                   + tag(u"br"_s) + u">\";}return s;}\r\n</" + tag(u"script"_s) + u"></" + tag(u"head"_s) + u">\r\n<"
                   + tag(u"body"_s) + u" link=#0000cc>\r\n<div id=\"header\">" + chineseText(random, 4) + u"相关新闻约"
                   + QString::number(random.bounded(100000)) + u"篇</div>\r\n";
    int hit = 0;
    while (page.size() < size) {
        const QString link = u"http://news.example.com/" + QString::number(random.bounded(2000, 2030)) + u'/'
                             + QString::number(hit++) + u".html";
        page += u"<" + tag(u"table"_s) + u" cellspacing=0 cellpadding=2><" + tag(u"tr"_s) + u"><td class=\"text\"><"
                + tag(u"a"_s) + u" href=\"" + link + u"\" target=_blank><" + tag(u"b"_s) + u">" + chineseText(random, 3)
                + u"</" + tag(u"b"_s) + u">" + chineseText(random, 12) + u"</" + tag(u"a"_s) + u"> <" + tag(u"font"_s)
                + u" color=#008000>" + chineseText(random, 3) + u"</a> <" + tag(u"nobr"_s) + u">2010-0"
                + QString::number(random.bounded(1, 10)) + u"-1" + QString::number(random.bounded(10)) + u"</"
                + tag(u"nobr"_s) + u"><" + tag(u"br"_s) + u">" + chineseText(random, int(random.bounded(40, 120)));
        if (random.bounded(8) == 0)
            page += u" a < b, " + chineseText(random, 5) + u" x<y && y>z ";
        page += u"</" + tag(u"td"_s) + u"></" + tag(u"tr"_s) + u"></" + tag(u"table"_s) + u">\r\n";
    }
    page += u"</" + tag(u"body"_s) + u"></HTML>\r\n";
    return page;
}

// Text from a small alphabet dense in "<", ">", blanks, case changes and line
// breaks, with U+0130, whose lower case is two characters long.
inline QString noise(quint32 seed, qsizetype size)
{
    static const QStringList pieces = {
        u"<"_s,  u">"_s,       u"<A>"_s,  u"<a>"_s, u"<B x>"_s, u"<X Y<A>"_s, u"<>"_s,     u"a"_s,
        u"A"_s,  u"b"_s,       u"B"_s,    u" "_s,   u"\r\n"_s,  u"\n"_s,      u"\u0130"_s, u"="_s,
        u"\""_s, u"</HTML>"_s, u"<BR>"_s, u"<<"_s,  u"<>>"_s,   u"x<y"_s,
    };
    QRandomGenerator random(seed);
    QString text;
    while (text.size() < size)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

// Small result pages in the service's two layouts, with upper-case tags as
// the service sends them: the exact title search's spans and the full-text
// search's table cells.
inline QString exactHit(const QString &link, const QString &title, const QString &source, const QString &time)
{
    QString hit = u"<SPAN><A href=" + link + u" target=_blank>" + title + u"</A> ";
    if (!source.isEmpty())
        hit += u"<FONT color=#008000 size=1>" + source + u"&gt;&gt;</FONT> ";
    return hit + u"<FONT class=g size=1>" + time + u"</FONT></SPAN>";
}

inline QString exactPage(const QString &count, const QStringList &hits)
{
    return u"<HTML><BODY><DIV>相关新闻" + count + u"篇</DIV>\r\n<P class=\"res\">" + hits.join(QString())
           + u"</P>\r\n</BODY></HTML>";
}

inline QString fuzzyCell(const QString &link, const QString &title, const QString &source, const QString &time)
{
    return u"<TD class=\"text\"><A href=" + link + u" target=_blank>" + title + u"</A> <FONT color=#008000>" + source
           + u"</a><NOBR>" + time + u"</NOBR></TD>";
}

inline QString fuzzyPage(const QString &count, const QStringList &cells)
{
    return u"<HTML><BODY><DIV>相关新闻" + count + u"篇</DIV>\r\n<TABLE><TR>" + cells.join(u"</TR><TR>"_s)
           + u"</TR></TABLE>\r\n</BODY></HTML>";
}

// The text cut into pieces of 1 to maxPiece characters.
inline QStringList split(const QString &text, quint32 seed, int maxPiece)
{
    QRandomGenerator random(seed);
    QStringList result;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = 1 + random.bounded(maxPiece);
        result.append(text.mid(at, length));
        at += length;
    }
    return result;
}

} // namespace ResultPages

} // namespace zorvane
