#include "net/http_request.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString userAgent =
    u"User-Agent: Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1; Trident/4.0; Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1) ; InfoPath.2; .NET CLR 2.0.50727; .NET CLR 3.0.4506.2152; .NET CLR 3.5.30729; Maxthon 2.0)"_s;

} // namespace

class TestHttpRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void get_data();
    void get();
    void post_data();
    void post();
    void lineBreaksInFields_cannotAddHeaders();
};

void TestHttpRequest::get_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("cookies");
    QTest::addColumn<QString>("referrer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare: double blank, glued Referer, bare Cookie")
        << u"/a"_s << u"h"_s << QString() << QString()
        << u"GET /a  HTTP/1.1\r\nAccept: */*\r\nReferer:\r\nAccept-Language: zh-cn\r\n"_s + userAgent
               + u"\r\nHost: h\r\nConnection: Keep-Alive\r\nCache-Control: no-cache\r\nCookie:\r\n\r\n"_s;
    QTest::newRow("cookie and referrer glued to their colons")
        << u"/member.php?mod=logging&action=login"_s << u"bbs.example"_s << u" a=1; b=2;"_s
        << u"http://bbs.example/portal.php"_s
        << u"GET /member.php?mod=logging&action=login  HTTP/1.1\r\nAccept: */*\r\n"
           u"Referer:http://bbs.example/portal.php\r\nAccept-Language: zh-cn\r\n"_s
               + userAgent
               + u"\r\nHost: bbs.example\r\nConnection: Keep-Alive\r\nCache-Control: no-cache\r\nCookie: a=1; b=2;\r\n\r\n"_s;
}

void TestHttpRequest::get()
{
    QFETCH(QString, path);
    QFETCH(QString, host);
    QFETCH(QString, cookies);
    QFETCH(QString, referrer);
    QFETCH(QString, expected);
    QCOMPARE(buildGetRequest(path, host, cookies, referrer), expected);
}

void TestHttpRequest::post_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("cookies");
    QTest::addColumn<QString>("extraHeaders");
    QTest::addColumn<QString>("expected");
    const QString head = u"POST /p HTTP/1.1\r\nAccept: */*\r\n"_s;
    const QString middle = u"Referer: http://h/\r\nAccept-Language: zh-cn\r\n"
                           u"Content-Type: application/x-www-form-urlencoded\r\n"_s
                           + userAgent + u"\r\nHost: h\r\n"_s;
    const QString tail = u"Connection: Keep-Alive\r\nCache-Control: no-cache\r\n"_s;
    QTest::newRow("form body counted and appended")
        << u"a=1&b=2"_s << u"c=3;"_s << QString()
        << head + middle + u"Content-Length: 7\r\n"_s + tail + u"Cookie:c=3;\r\n\r\na=1&b=2"_s;
    QTest::newRow("empty body") << QString() << QString() << QString()
                                << head + middle + u"Content-Length: 0\r\n"_s + tail + u"Cookie:\r\n\r\n"_s;
    QTest::newRow("extra headers go in unchanged after Accept")
        << u"x=1"_s << QString() << u"X-A: 1\r\n"_s
        << head + u"X-A: 1\r\n"_s + middle + u"Content-Length: 3\r\n"_s + tail + u"Cookie:\r\n\r\nx=1"_s;
    QTest::newRow("non-ASCII body counted in the bytes that go out")
        << u"t=中文"_s << QString() << QString()
        << head + middle + u"Content-Length: 6\r\n"_s + tail + u"Cookie:\r\n\r\nt=中文"_s;
}

void TestHttpRequest::post()
{
    QFETCH(QString, body);
    QFETCH(QString, cookies);
    QFETCH(QString, extraHeaders);
    QFETCH(QString, expected);
    QCOMPARE(buildPostRequest(u"/p"_s, u"h"_s, body, cookies, u"http://h/"_s, extraHeaders), expected);
}

void TestHttpRequest::lineBreaksInFields_cannotAddHeaders()
{
    const QString get = buildGetRequest(u"/s?wd=a\r\nX-Evil: 1"_s, u"h"_s, u"a=1;\nX: 2"_s, u"r\r"_s);
    QVERIFY(get.startsWith(u"GET /s?wd=aX-Evil: 1  HTTP/1.1\r\n"_s));
    QVERIFY(get.contains(u"\r\nCookie:a=1;X: 2\r\n\r\n"_s));
    QVERIFY(get.contains(u"\r\nReferer:r\r\n"_s));
    QCOMPARE(get.count(u"\r\n"_s), 10);
    const QString post = buildPostRequest(u"/p"_s, u"h\r\nX: 1"_s, u"a=1\r\n"_s, QString(), QString());
    QVERIFY(post.contains(u"\r\nHost: hX: 1\r\n"_s));
    QVERIFY(post.endsWith(u"\r\n\r\na=1\r\n"_s)); // the body is the caller's, as it is
}

QTEST_GUILESS_MAIN(TestHttpRequest)
#include "tst_http_request.moc"
