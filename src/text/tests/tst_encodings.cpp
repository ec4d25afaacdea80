#include "text/gbk.h"
#include "text/text_utils.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestEncodings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodeUtf8_data();
    void decodeUtf8();
    void urlEncodeUtf8_data();
    void urlEncodeUtf8();
    void urlEncodeGbk_data();
    void urlEncodeGbk();
    void gbk_roundTripsGbkBytes();
    void toByteString_isGbk();
};

void TestEncodings::decodeUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Chinese then ASCII") << QByteArray("\xE4\xB8\xAD"
                                                      "A")
                                        << u"中A"_s;
    QTest::newRow("truncated sequence ends in ?") << QByteArray("\xE4\xB8") << "?";
    QTest::newRow("truncated after good text") << QByteArray("ab\xE4") << "ab?";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("stray continuation byte") << QByteArray("a\x80z") << u"a\uFFFDz"_s;
    QTest::newRow("continuation bytes not validated") << QByteArray("\xC3"
                                                                    "A")
                                                      << QString(QChar(0xC1));
    QTest::newRow("four-byte sequence kept as a pair") << QByteArray("\xF0\x9F\x98\x80") << u"\U0001F600"_s;
    QTest::newRow("beyond Unicode") << QByteArray("\xF7\xBF\xBF\xBF") << u"\uFFFD"_s;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD"_s;
    QTest::newRow("NUL passes") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
}

void TestEncodings::decodeUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(::decodeUtf8(bytes), expected);
}

void TestEncodings::urlEncodeUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space, tilde, Chinese") << u"a b~中"_s << "a+b%7E%E4%B8%AD";
    QTest::newRow("kept characters") << "Az09*-.@_"
                                     << "Az09*-.@_";
    QTest::newRow("reserved characters") << "&=+%/?"
                                         << "%26%3D%2B%25%2F%3F";
    QTest::newRow("control character") << "\n"
                                       << "%0A";
    QTest::newRow("outside the basic plane") << u"\U0001F600"_s << "%F0%9F%98%80";
}

void TestEncodings::urlEncodeUtf8()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::urlEncodeUtf8(text), expected);
}

void TestEncodings::urlEncodeGbk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Chinese, space, letter") << u"中 a"_s << "%D6%D0%20a";
    QTest::newRow("ASCII punctuation kept") << "a&b=c+d%/"
                                            << "a&b=c+d%/";
    QTest::newRow("full-width comma") << u"，"_s << "%A3%AC";
}

void TestEncodings::urlEncodeGbk()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::urlEncodeGbk(text), expected);
}

void TestEncodings::gbk_roundTripsGbkBytes()
{
    const QByteArray bytes("\xD6\xD0\xCE\xC4\xC7\xA9\xC3\xFB");
    QCOMPARE(fromGbk(bytes), u"中文签名"_s);
    QCOMPARE(toGbk(u"中文签名"_s), bytes);
    // Characters GBK cannot hold survive too (as GB18030 four-byte codes).
    const QString rare = u"\U0001F600"_s;
    QCOMPARE(fromGbk(toGbk(rare)), rare);
}

void TestEncodings::toByteString_isGbk()
{
    QCOMPARE(toByteString(u"</html>"_s), QByteArray("</html>"));
}

QTEST_APPLESS_MAIN(TestEncodings)
#include "tst_encodings.moc"
