#include "text/between.h"
#include "text/text_utils.h"

#include "text/system_regex.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestTextUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void yTrim_data();
    void yTrim();
    void yTrim_agreesWithItsPattern();
    void trimBlanks_data();
    void trimBlanks();
    void fullToHalfWidth_data();
    void fullToHalfWidth();
    void findStrNums_data();
    void findStrNums();
    void formatUrl_data();
    void formatUrl();
    void htmlDecode_data();
    void htmlDecode();
    void toInt_data();
    void toInt();
    void stripHtml_data();
    void stripHtml();
    void htmlToParagraphs_data();
    void htmlToParagraphs();
    void lowercaseTagNames_data();
    void lowercaseTagNames();
    void collectSpans_data();
    void collectSpans();
    void collectTextCells_data();
    void collectTextCells();
    void removeBetween_data();
    void removeBetween();
    void between_data();
    void between();
    void onePassReaders_agreeWithTheirPatterns_data();
    void onePassReaders_agreeWithTheirPatterns();
    void onePassReaders_hostilePages_data();
    void onePassReaders_hostilePages();
};

namespace {

// The readers as they were first written, one pattern or one cut of the
// rest at a time: the oracles of the one-pass readers.
QString literalStripHtml(const QString &html)
{
    QString text = regexReplace(html, u"<style.*?>[^\\f]*?</style>"_s, QString());
    text = regexReplace(text, u"<script.*?>[^\\f]*?</script>"_s, QString());
    text = regexReplace(text, u"<!--[^\\f]*?-->"_s, QString());
    return regexReplace(text, u"<[^>]*>"_s, QString());
}

QString literalCollectSpans(const QString &text)
{
    return SystemRegex(u"<span>.+?\\</span>"_s).matches(text).join(u"|||"_s);
}

QString literalCollectTextCells(const QString &text)
{
    const QString marker = u"<td class=\"text\">"_s;
    QString result;
    QString rest = text;
    for (qsizetype at = rest.indexOf(marker); at >= 0; at = rest.indexOf(marker)) {
        const QString cell = Between(rest, marker, u"</td>"_s);
        if (!result.isEmpty())
            result += u"|||"_s;
        result += cell;
        rest = rest.mid(at + 10);
    }
    return result;
}

QString literalHtmlDecode(const QString &text)
{
    QString out = text;
    out.replace(u"&amp;"_s, u"&"_s);
    out.replace(u"&gt;"_s, u">"_s);
    out.replace(u"&lt;"_s, u"<"_s);
    out.replace(u"&nbsp;"_s, u" "_s);
    out.replace(u"&quot;"_s, u"\""_s);
    return out;
}

// The first rows of what splitting on "|||" gives, joined again.
QString firstRows(const QString &collected, qsizetype rows)
{
    return collected.split(u"|||"_s).mid(0, rows).join(u"|||"_s);
}

// Text from pieces that matter to the patterns: their markers in both cases
// and cut short, the long s and Kelvin sign that match "s" and "k" without
// case, line breaks, form feeds and the separator's bars.
QString generated(QRandomGenerator &random, const QStringList &pieces, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

} // namespace

void TestTextUtils::onePassReaders_agreeWithTheirPatterns_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("stripHtml") << u"stripHtml"_s
                               << QStringList{u"<style"_s,
                                              u"<STYLE "_s,
                                              u"<\u017Ftyle>"_s,
                                              u"</style>"_s,
                                              u"</STYLE>"_s,
                                              u"<script>"_s,
                                              u"</\u017FCRIPT>"_s,
                                              u"<!--"_s,
                                              u"-->"_s,
                                              u"--"_s,
                                              u"<"_s,
                                              u">"_s,
                                              u"\f"_s,
                                              u"\r\n"_s,
                                              u"\n"_s,
                                              u"a"_s,
                                              u" "_s};
    QTest::newRow("collectSpans") << u"collectSpans"_s
                                  << QStringList{u"<span>"_s,  u"<SPAN>"_s, u"<\u017Fpan>"_s, u"</span>"_s,
                                                 u"</Span>"_s, u"<span"_s,  u"\r"_s,          u"\n"_s,
                                                 u"x"_s,       u"|"_s,      u"||"_s};
    QTest::newRow("htmlDecode") << u"htmlDecode"_s
                                << QStringList{u"&"_s,     u"amp;"_s, u"gt;"_s, u"lt;"_s, u"nbsp;"_s, u"quot;"_s,
                                               u"&amp;"_s, u"&gt;"_s, u"&lt"_s, u"a"_s,   u";"_s};
    QTest::newRow("collectTextCells") << u"collectTextCells"_s << QStringList{u"<td class=\"text\">"_s,
                                                                              u"<td class=\"te"_s,
                                                                              u"xt\">"_s,
                                                                              u"</td>"_s,
                                                                              u"</TD>"_s,
                                                                              u"x"_s,
                                                                              u"|"_s,
                                                                              u"||"_s,
                                                                              u"\r\n"_s};
}

void TestTextUtils::onePassReaders_agreeWithTheirPatterns()
{
    QFETCH(QString, reader);
    QFETCH(QStringList, pieces);
    QRandomGenerator random(20260301);
    for (int round = 0; round < 20000; ++round) {
        const QString text = generated(random, pieces, random.bounded(1, 24));
        QString fast, literal;
        if (reader == u"stripHtml") {
            fast = ::stripHtml(text);
            literal = literalStripHtml(text);
        } else if (reader == u"collectSpans") {
            fast = ::collectSpans(text);
            literal = literalCollectSpans(text);
            QCOMPARE(::collectSpans(text, 3), firstRows(literal, 3));
        } else if (reader == u"htmlDecode") {
            fast = ::htmlDecode(text);
            literal = literalHtmlDecode(text);
        } else {
            fast = ::collectTextCells(text);
            literal = literalCollectTextCells(text);
            QCOMPARE(::collectTextCells(text, 3), firstRows(literal, 3));
        }
        if (fast != literal)
            QFAIL(qPrintable(u"«%1»: «%2» against «%3»"_s.arg(text, fast, literal)));
    }
}

void TestTextUtils::onePassReaders_hostilePages_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("expectedSize");
    // Each of these took time in the square of its length: starts whose end
    // never comes or comes only on another line, or cells inside cells.
    QTest::newRow("style openings without a \">\"")
        << u"stripHtml"_s << QString(u"<style"_s).repeated(100000) + u"</style>"_s << qsizetype(0);
    QTest::newRow("style blocks without their end")
        << u"stripHtml"_s << QString(u"<style>a"_s).repeated(100000) << qsizetype(100000);
    QTest::newRow("comments that never end")
        << u"stripHtml"_s << QString(u"<!--\f"_s).repeated(100000) << qsizetype(500000);
    QTest::newRow("spans without their end on the line")
        << u"collectSpans"_s << QString(u"<span>x"_s).repeated(100000) + u"\r\n</span>"_s << qsizetype(0);
    QTest::newRow("60,000 result cells, the first 50 taken")
        << u"collectTextCells"_s << QString(u"<td class=\"text\">hit</td>"_s).repeated(60000)
        << qsizetype(50 * 3 + 49 * 3);
    QTest::newRow("60,000 cells inside each other, held to their length")
        << u"collectTextCells"_s << QString(u"<td class=\"text\">"_s).repeated(60000) + u"</td>"_s << qsizetype(100000);
}

void TestTextUtils::onePassReaders_hostilePages()
{
    QFETCH(QString, reader);
    QFETCH(QString, text);
    QFETCH(qsizetype, expectedSize);
    const QString result = reader == u"stripHtml"      ? ::stripHtml(text)
                           : reader == u"collectSpans" ? ::collectSpans(text, 50, 100000)
                                                       : ::collectTextCells(text, 50, 100000);
    QCOMPARE(result.size(), expectedSize);
}

void TestTextUtils::yTrim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ideographic and ASCII space, CR LF") << u"\u3000 abc\u3000\r\n"_s << "abc";
    QTest::newRow("inner ideographic space stays") << u"a\u3000b"_s << u"a\u3000b"_s;
    QTest::newRow("leading no-break space stays") << u"\u00A0abc"_s << u"\u00A0abc"_s;
    QTest::newRow("trailing no-break space stays") << u"abc\u00A0 "_s << u"abc\u00A0"_s;
    QTest::newRow("tabs, form feed, vertical tab") << "\t\f\vx\v"
                                                   << "x";
    QTest::newRow("only white space") << u" \u3000\r\n"_s << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("inner line breaks stay") << " a\r\nb "
                                            << "a\r\nb";
}

void TestTextUtils::yTrim()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(YTrim(text), expected);
}

void TestTextUtils::yTrim_agreesWithItsPattern()
{
    // Every string over a small alphabet of white space and letters, up to
    // five characters long.
    const QString alphabet = u" \t\r\n\f\v\u3000\u00A0ab"_s;
    QStringList texts{QString()};
    for (int length = 1; length <= 5; ++length) {
        QStringList longer;
        for (const QString &t : std::as_const(texts)) {
            if (t.size() == length - 1) {
                for (QChar c : alphabet)
                    longer << t + c;
            }
        }
        texts += longer;
    }
    for (const QString &t : std::as_const(texts))
        QCOMPARE(YTrim(t), regexReplace(t, u"(^[\\s\u3000]*)|([\\s\u3000]*$)"_s, QString()));
}

void TestTextUtils::trimBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks at both ends") << u"  a b  "_s << u"a b"_s;
    QTest::newRow("tabs, line breaks and wide spaces stay") << u"\t a\r\n\u3000 "_s << u"\t a\r\n\u3000"_s;
    QTest::newRow("only blanks") << u"   "_s << QString();
}

void TestTextUtils::trimBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::trimBlanks(text).toString(), expected);
}

void TestTextUtils::fullToHalfWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("letters and digits, punctuation kept") << u"ＡＢＣ１２３ａｂｃ，。"_s << u"ABC123abc，。"_s;
    QTest::newRow("range ends") << u"０９ＡＺａｚ"_s << "09AZaz";
    QTest::newRow("just outside the ranges") << u"／：＠［｀｛"_s << u"／：＠［｀｛"_s;
    QTest::newRow("ideographic space kept") << u"\u3000"_s << u"\u3000"_s;
}

void TestTextUtils::fullToHalfWidth()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::fullToHalfWidth(text), expected);
}

void TestTextUtils::findStrNums_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("adjacent occurrence not counted") << "abab"
                                                     << "ab" << 1;
    QTest::newRow("separated occurrences") << "ab-ab"
                                           << "ab" << 2;
    QTest::newRow("three with gaps") << "ab-ab-ab"
                                     << "ab" << 3;
    QTest::newRow("case-sensitive") << "AB ab"
                                    << "ab" << 1;
    QTest::newRow("empty text") << ""
                                << "ab" << 0;
    QTest::newRow("empty key") << "ab"
                               << "" << 0;
    QTest::newRow("run of one letter") << "aaaa"
                                       << "a" << 2;
}

void TestTextUtils::findStrNums()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(int, expected);
    QCOMPARE(FindStrNums(text, key), expected);
}

void TestTextUtils::formatUrl_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("upper-case scheme kept") << "HTTP://Example.com"
                                            << "HTTP://Example.com";
    QTest::newRow("https") << "https://a.b"
                           << "https://a.b";
    QTest::newRow("ftp") << "ftp://a.b"
                         << "ftp://a.b";
    QTest::newRow("no scheme") << "www.a.b"
                               << "http://www.a.b";
    QTest::newRow("space before scheme") << " ftp://a.b"
                                         << "http:// ftp://a.b";
    QTest::newRow("empty") << ""
                           << "http://";
}

void TestTextUtils::formatUrl()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QCOMPARE(FormatUrl(url), expected);
}

void TestTextUtils::htmlDecode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("double-escaped tag decodes fully") << "&amp;lt;b&amp;gt;"
                                                      << "<b>";
    QTest::newRow("nbsp is an ordinary space") << "a&nbsp;b"
                                               << "a b";
    QTest::newRow("quote") << "&quot;x&quot;"
                           << "\"x\"";
    QTest::newRow("numeric entities untouched") << "&#20013;&copy;"
                                                << "&#20013;&copy;";
}

void TestTextUtils::htmlDecode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::htmlDecode(text), expected);
}

void TestTextUtils::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("spaces around") << " 2 " << 2;
    QTest::newRow("fraction floors") << "3.9" << 3;
    QTest::newRow("negative fraction floors down") << "-1.5" << -2;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("exponent") << "1.5e2" << 150;
    QTest::newRow("negative exponent") << "25E-1" << 2;
    QTest::newRow("leading point") << ".9" << 0;
    QTest::newRow("trailing point") << "4." << 4;
    QTest::newRow("number then letters") << "800px" << 0;
    QTest::newRow("two numbers") << "1 2" << 0;
    QTest::newRow("sign alone") << "-" << 0;
    QTest::newRow("full-width digits are not a number") << u"１２"_s << 0;
    QTest::newRow("huge clamps") << "1e30" << std::numeric_limits<int>::max();
    QTest::newRow("huge negative clamps") << "-1e30" << std::numeric_limits<int>::min();
}

void TestTextUtils::toInt()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(::toInt(text), expected);
}

void TestTextUtils::stripHtml_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("style, comment, br") << "<STYLE type=x>p{}\r\n</STYLE>a<!-- c\r\n -->b<br>c"
                                        << "abc";
    QTest::newRow("script across lines") << "x<script>\r\nif (a<b) {}\r\n</SCRIPT>y"
                                         << "xy";
    QTest::newRow("entities stay") << "<p>&amp;&nbsp;</p>"
                                   << "&amp;&nbsp;";
    QTest::newRow("tag across lines") << "a<p\r\nclass=x>b"
                                      << "ab";
    QTest::newRow("lone angle bracket kept") << "1 < 2"
                                             << "1 < 2";
}

void TestTextUtils::stripHtml()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(::stripHtml(html), expected);
}

void TestTextUtils::htmlToParagraphs_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank lines dropped") << "a\r\n \r\nb"
                                         << "<p>a</p><p>b</p>";
    QTest::newRow("no CR LF returned unchanged") << "a<br>b"
                                                 << "ab";
    QTest::newRow("line kept untrimmed") << " a \r\n"
                                         << "<p> a </p>";
    QTest::newRow("ideographic-space line is not blank") << u"\u3000\r\nb"_s << u"<p>\u3000</p><p>b</p>"_s;
}

void TestTextUtils::htmlToParagraphs()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(::htmlToParagraphs(html), expected);
}

void TestTextUtils::lowercaseTagNames_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name lowered, attributes kept") << "<P ALIGN=Center>X</P>"
                                                   << "<p ALIGN=Center>X</p>";
    QTest::newRow("text between tags untouched") << "<B>Bold TEXT</B>"
                                                 << "<b>Bold TEXT</b>";
    QTest::newRow("every copy of a tag replaced") << "<BR>a<BR>b"
                                                  << "<br>a<br>b";
    QTest::newRow("tag text elsewhere replaced too") << "<I>x <I>"
                                                     << "<i>x <i>";
    QTest::newRow("tag not on one line untouched") << "<DIV\r\nID=1>"
                                                   << "<DIV\r\nID=1>";
}

void TestTextUtils::lowercaseTagNames()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(::lowercaseTagNames(html), expected);
}

void TestTextUtils::collectSpans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two spans") << "<span>a</span>x<SPAN>b</SPAN>"
                               << "<span>a</span>|||<SPAN>b</SPAN>";
    QTest::newRow("empty span needs a character") << "<span></span>"
                                                  << "";
    QTest::newRow("none") << "abc"
                          << "";
}

void TestTextUtils::collectSpans()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::collectSpans(text), expected);
}

void TestTextUtils::collectTextCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three cells") << R"(<td class="text">a</td><td class="text">b</td><td>x</td><td class="text">c</td>)"
                                 << "a|||b|||c";
    QTest::newRow("leading empty cell leaves no separator") << R"(<td class="text"></td><td class="text">b</td>)"
                                                            << "b";
    QTest::newRow("later empty cell keeps its separator") << R"(<td class="text">a</td><td class="text"></td>)"
                                                          << "a|||";
    QTest::newRow("no end tag") << R"(<td class="text">a)"
                                << "";
    QTest::newRow("none") << "<td>a</td>"
                          << "";
}

void TestTextUtils::collectTextCells()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::collectTextCells(text), expected);
}

void TestTextUtils::removeBetween_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shortest spans, across lines, any case") << "a=1; PATH=/x\r\n;b=2; path=/;"
                                                            << "path="
                                                            << ";"
                                                            << "a=1; b=2; ";
    QTest::newRow("empty text") << ""
                                << "a"
                                << "b"
                                << "";
    QTest::newRow("markers are patterns") << "x1234y"
                                          << "\\d"
                                          << "\\d"
                                          << "xy";
}

void TestTextUtils::removeBetween()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, expected);
    QCOMPARE(::removeBetween(text, start, end), expected);
}

void TestTextUtils::between_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "xAyBz"
                           << "A"
                           << "B"
                           << "y";
    QTest::newRow("nothing between") << "xABz"
                                     << "A"
                                     << "B"
                                     << "";
    QTest::newRow("end only before start") << "xBxAy"
                                           << "A"
                                           << "B"
                                           << "";
    QTest::newRow("first end after start") << "BxAyByB"
                                           << "A"
                                           << "B"
                                           << "y";
    QTest::newRow("start missing") << "xyB"
                                   << "A"
                                   << "B"
                                   << "";
    QTest::newRow("case-sensitive") << "xaYb"
                                    << "A"
                                    << "B"
                                    << "";
    QTest::newRow("multi-character markers") << "<b>bold</b>"
                                             << "<b>"
                                             << "</b>"
                                             << "bold";
    QTest::newRow("overlapping markers") << "ABA"
                                         << "AB"
                                         << "BA"
                                         << "";
}

void TestTextUtils::between()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, expected);
    QCOMPARE(Between(text, start, end), expected);
}

QTEST_APPLESS_MAIN(TestTextUtils)
#include "tst_text_utils.moc"
