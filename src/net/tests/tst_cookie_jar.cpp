#include "net/cookie_jar.h"
#include "text/between.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// The merge exactly as the dialogue was first written: cut the response after
// every header and search it again. The library walks the response once; both
// must agree.
std::optional<QString> literalMerge(QString response, const QString &cookies)
{
    const bool jarMode = !cookies.isEmpty();
    CookieJar jar = jarMode ? parseCookieString(cookies) : CookieJar();
    if (!response.contains(u"Set-Cookie:"_s))
        return cookies;
    QString merged;
    while (response.contains(u"Set-Cookie:"_s)) {
        QString line = Between(response, u"Set-Cookie:"_s, u"\r\n"_s) + u';';
        for (const QString &attribute : {u"path="_s, u"domain="_s, u"expires="_s})
            line.remove(QRegularExpression(attribute + u"[^\\f]*?;"_s, QRegularExpression::CaseInsensitiveOption));
        line.remove(u"Httponly"_s).remove(u"httponly"_s).remove(u' ');
        line.replace(u";;"_s, u";"_s).remove(u"\r\n"_s);
        response = response.mid(response.indexOf(u"Set-Cookie:"_s) + 11);
        if (jarMode) {
            line.remove(u';');
            if (!line.contains(u'='))
                return std::nullopt;
            const QStringList parts = line.split(u'=');
            auto known =
                std::find_if(jar.begin(), jar.end(), [&](const CookieRecord &r) { return r.name == parts[0]; });
            if (known == jar.end())
                jar.append({parts[0], parts[1]});
            else if (known->name != u"Ddx_sid")
                known->value = parts[1];
        } else if (!line.contains(u"deleted"_s)) {
            merged += line;
        }
    }
    if (jarMode) {
        for (const CookieRecord &record : jar) {
            if (record.value != u"deleted")
                merged += record.name.isEmpty() ? u' ' + record.value + u';'
                                                : QString(u' ' + record.name + u'=' + record.value + u';');
        }
    }
    return merged.replace(u";;"_s, u";"_s).remove(u"\r\n"_s);
}

// The header lines a response's cookies come from: up to the line end before
// its first empty line.
QString headerLines(const QString &response)
{
    const qsizetype end = response.indexOf(u"\r\n\r\n"_s);
    return end < 0 ? response : response.left(end + 2);
}

// n headers "Set-Cookie: cK=vK; path=/", K from `first` on.
QString setCookies(int first, int n, const QString &value = u"v"_s)
{
    QString headers;
    for (int i = first; i < first + n; ++i)
        headers += u"Set-Cookie: c"_s + QString::number(i) + u'=' + value + QString::number(i) + u"; path=/\r\n"_s;
    return headers;
}

QString compactCookies(int first, int n)
{
    QString cookies;
    for (int i = first; i < first + n; ++i)
        cookies += u'c' + QString::number(i) + u"=v"_s + QString::number(i) + u';';
    return cookies;
}

} // namespace

class TestCookieJar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void merge_data();
    void merge();
    void merge_valueWithoutEquals_failsInJarMode();
    void merge_agreesWithTheLiteralWalk();
    void merge_hostileHeaders_keepWhatABrowserWould_data();
    void merge_hostileHeaders_keepWhatABrowserWould();
};

void TestCookieJar::parse_data()
{
    QTest::addColumn<QString>("cookies");
    QTest::addColumn<CookieJar>("expected");
    QTest::newRow("jar form") << u" a=1; b=2;"_s << CookieJar{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}};
    QTest::newRow("compact form, no final semicolon") << u"a=1;b=2"_s << CookieJar{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}};
    QTest::newRow("part without equals has no name")
        << u"a=1;lone;"_s << CookieJar{{u"a"_s, u"1"_s}, {QString(), u"lone"_s}};
    QTest::newRow("after a second equals is dropped") << u"a=b=c;"_s << CookieJar{{u"a"_s, u"b"_s}};
    QTest::newRow("doubled semicolon is one") << u"a=1;;b=2;"_s << CookieJar{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}};
    QTest::newRow("empty value") << u"a=;"_s << CookieJar{{u"a"_s, QString()}};
    QTest::newRow("only separators") << u" ; "_s << CookieJar{};
}

void TestCookieJar::parse()
{
    QFETCH(QString, cookies);
    QFETCH(CookieJar, expected);
    QCOMPARE(parseCookieString(cookies), expected);
}

void TestCookieJar::merge_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("cookies");
    QTest::addColumn<QString>("expected");
    QTest::newRow("compact: deleted cookie and attributes left out")
        << u"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\n"
           u"Set-Cookie: b=deleted; expires=Thu, 01-Jan-1970 00:00:01 GMT; path=/\r\n\r\n<html>"_s
        << QString() << u"a=1;"_s;
    QTest::newRow("compact: domain and mixed-case attribute names go")
        << u"Set-Cookie: a=1; Domain=.x.com; PATH=/; Expires=Fri, 01 Jan 2027 00:00:00 GMT\r\n"
           u"Set-Cookie: b=2\r\n"_s
        << QString() << u"a=1;b=2;"_s;
    QTest::newRow("jar: overwrite in place, Ddx_sid kept, new appended")
        << u"Set-Cookie: a=2; path=/\r\nSet-Cookie: Ddx_sid=y; path=/\r\nSet-Cookie: c=3; path=/\r\n"_s
        << u" a=1; Ddx_sid=x;"_s << u" a=2; Ddx_sid=x; c=3;"_s;
    QTest::newRow("jar: a deleted value stays in the jar but is not written")
        << u"Set-Cookie: a=deleted; path=/\r\nSet-Cookie: b=5\r\n"_s << u" a=1; b=2;"_s << u" b=5;"_s;
    QTest::newRow("jar: deleted then set again keeps its place")
        << u"Set-Cookie: a=deleted\r\nSet-Cookie: b=5\r\nSet-Cookie: a=7\r\n"_s << u" a=1; b=2;"_s << u" a=7; b=5;"_s;
    QTest::newRow("jar: HttpOnly glued to the value")
        << u"Set-Cookie: k=v; HttpOnly\r\n"_s << u" a=1;"_s << u" a=1; k=vHttpOnly;"_s;
    QTest::newRow("jar: the two lower spellings of httponly go")
        << u"Set-Cookie: k=v; httponly\r\nSet-Cookie: m=w; Httponly\r\n"_s << u" a=1;"_s << u" a=1; k=v; m=w;"_s;
    QTest::newRow("compact: HttpOnly glued too")
        << u"Set-Cookie: k=v; HttpOnly\r\n"_s << QString() << u"k=v;HttpOnly;"_s;
    QTest::newRow("jar: nameless record written as its value")
        << u"Set-Cookie: a=2\r\n"_s << u"lone; a=1;"_s << u" lone; a=2;"_s;
    QTest::newRow("no Set-Cookie: current string unchanged")
        << u"HTTP/1.1 302 Found\r\nLocation: /\r\n\r\n"_s << u" a=1; b=2;"_s << u" a=1; b=2;"_s;
    QTest::newRow("no Set-Cookie and nothing yet") << u"<html></html>"_s << QString() << QString();
    QTest::newRow("header name is case-sensitive") << u"set-cookie: a=1\r\n"_s << QString() << QString();
    QTest::newRow("compact: last header without line end gives nothing")
        << u"Set-Cookie: a=1\r\nSet-Cookie: b=2"_s << QString() << u"a=1;"_s;
}

void TestCookieJar::merge()
{
    QFETCH(QString, response);
    QFETCH(QString, cookies);
    QFETCH(QString, expected);
    const std::optional<QString> merged = mergeCookies(response, cookies);
    QVERIFY(merged.has_value());
    QCOMPARE(*merged, expected);
}

void TestCookieJar::merge_valueWithoutEquals_failsInJarMode()
{
    const QString response = u"Set-Cookie: a=2\r\nSet-Cookie: broken; path=/\r\n"_s;
    QCOMPARE(mergeCookies(response, u" a=1;"_s), std::nullopt);
    // A header cut off at the end of the response has no "=" either.
    QCOMPARE(mergeCookies(u"Set-Cookie: a=2"_s, u" a=1;"_s), std::nullopt);
    // The compact form takes whatever comes.
    QCOMPARE(mergeCookies(response, QString()), u"a=2;broken;"_s);
}

void TestCookieJar::merge_agreesWithTheLiteralWalk()
{
    // Responses stitched from the pieces that matter to the merge.
    const QStringList pieces = {
        u"Set-Cookie:"_s, u"\r\n"_s,      u" "_s,      u"a=1"_s,       u"b=2"_s,
        u";"_s,           u"="_s,         u"path=/"_s, u"Domain=x;"_s, u"deleted"_s,
        u"httponly"_s,    u"Ddx_sid=s"_s, u"\f"_s,     u"x"_s,         u"Set-Cookie: c=3; path=/\r\n"_s};
    const QStringList currents = {QString(), u" a=0; Ddx_sid=q;"_s, u"lone;"_s};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
        QString response;
        const int count = random.bounded(12);
        for (int i = 0; i < count; ++i)
            response += pieces[random.bounded(pieces.size())];
        const QString current = currents[random.bounded(currents.size())];
        const std::optional<QString> fast = mergeCookies(response, current);
        const std::optional<QString> literal = literalMerge(headerLines(response), current);
        if (fast != literal)
            QFAIL(qPrintable(u"differ on «"_s + response + u"» with «"_s + current + u"»"_s));
    }
}

void TestCookieJar::merge_hostileHeaders_keepWhatABrowserWould_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("cookies");
    QTest::addColumn<QString>("expected");
    const QString page = u"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\n\r\n<html>"_s;
    QTest::newRow("a Set-Cookie in the page is not a header")
        << page + u"Set-Cookie: evil=1\r\n</html>"_s << QString() << u"a=1;"_s;
    QTest::newRow("nor in jar mode") << page + u"Set-Cookie: a=666\r\n</html>"_s << u" a=0;"_s << u" a=1;"_s;
    QTest::newRow("bare line feeds end the header block")
        << u"HTTP/1.1 200 OK\nSet-Cookie: a=1\n\nSet-Cookie: b=2\n"_s << QString() << u"a=1;"_s;
    QTest::newRow("a value ends at its line end, bare CR included")
        << u"Set-Cookie: a=1\rSet-Cookie: b=2\r\n\r\n"_s << QString() << u"a=1;b=2;"_s;
    QTest::newRow("a cookie over 4 KiB is ignored, the next one read")
        << u"Set-Cookie: big="_s + QString(5000, u'x') + u"\r\nSet-Cookie: b=2\r\n\r\n"_s << QString() << u"b=2;"_s;
    QTest::newRow("50 cookies at most") << setCookies(0, 60) + u"\r\n"_s << QString() << compactCookies(0, 50);
    QTest::newRow("100,000 cookies: the first 50")
        << u"HTTP/1.1 200 OK\r\n"_s + setCookies(0, 100000) + u"\r\n</html>"_s << QString() << compactCookies(0, 50);
    // The reported forum reply: one header line of "Set-Cookie:a" over and
    // over. Each "Set-Cookie:" runs to the line's end; the 50 first that are
    // short enough are kept.
    QString sameLine;
    for (int k = 341; k > 341 - 50; --k)
        sameLine += u'a' + QString(u"Set-Cookie:a"_s).repeated(k) + u';';
    QTest::newRow("one line of 200,000 \"Set-Cookie:a\"")
        << u"HTTP/1.1 200 OK\r\n"_s + QString(u"Set-Cookie:a"_s).repeated(200000) + u"\r\n\r\n</html>"_s << QString()
        << sameLine;
    QString jar;
    for (int i = 0; i < 48; ++i)
        jar += u" c"_s + QString::number(i) + u"=v"_s + QString::number(i) + u';';
    QTest::newRow("a jar grows to 50 records, known names still change")
        << setCookies(0, 1, u"new"_s) + setCookies(100, 5) + u"\r\n"_s << jar
        << u" c0=new0;"_s + jar.mid(jar.indexOf(u" c1="_s)) + u" c100=v100; c101=v101;"_s;
}

void TestCookieJar::merge_hostileHeaders_keepWhatABrowserWould()
{
    QFETCH(QString, response);
    QFETCH(QString, cookies);
    QFETCH(QString, expected);
    QCOMPARE(mergeCookies(response, cookies), std::optional<QString>(expected));
}

QTEST_GUILESS_MAIN(TestCookieJar)
#include "tst_cookie_jar.moc"
