#include "text/system_regex.h"
#include "text/text_utils.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestSystemRegex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replace_data();
    void replace();
    void whiteSpaceClassIsAsciiOnly_data();
    void whiteSpaceClassIsAsciiOnly();
    void invalidPattern_leavesTextUnchanged();
    void concat_joinsAllMatchesInOrder();
};

void TestSystemRegex::replace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ignores case, replaces all") << "aAbA"
                                                << "a"
                                                << "x"
                                                << "xxbx";
    QTest::newRow("lazy quantifier") << "<b>1</b><b>2</b>"
                                     << "<b>.+?</b>"
                                     << "-"
                                     << "--";
    QTest::newRow("dot stops at LF") << "<a\nb>"
                                     << "<.+?>"
                                     << ""
                                     << "<a\nb>";
    QTest::newRow("dot stops at CR") << "<a\rb>"
                                     << "<.+?>"
                                     << ""
                                     << "<a\rb>";
    QTest::newRow("not-form-feed spans lines") << "x<!--\r\n-->y"
                                               << "<!--[^\\f]*?-->"
                                               << ""
                                               << "xy";
    QTest::newRow("dollar only at the very end, not before a final LF") << "ab\n"
                                                                        << "b$"
                                                                        << "X"
                                                                        << "ab\n";
    QTest::newRow("dollar at the end") << "abb"
                                       << "b$"
                                       << "X"
                                       << "abX";
    QTest::newRow("caret only at the very start") << "a\nab"
                                                  << "^a"
                                                  << "X"
                                                  << "X\nab";
    QTest::newRow("dollar inside a class is literal") << "a$b"
                                                      << "[$]"
                                                      << ""
                                                      << "ab";
    QTest::newRow("escaped dollar is literal") << "a$b"
                                               << "\\$"
                                               << ""
                                               << "ab";
    QTest::newRow("group reference") << "ab"
                                     << "(a)(b)"
                                     << "$2$1"
                                     << "ba";
    QTest::newRow("whole match and literal dollar") << "ab"
                                                    << "a"
                                                    << "[$&$$]"
                                                    << "[a$]b";
    QTest::newRow("backslash in replacement is literal") << "a"
                                                         << "a"
                                                         << "\\1"
                                                         << "\\1";
    QTest::newRow("reference to a missing group is literal") << "a"
                                                             << "a"
                                                             << "$5"
                                                             << "$5";
    QTest::newRow("escaped angle brackets are literal") << "<span>x</span>"
                                                        << "<span>.+?\\</span>"
                                                        << "-"
                                                        << "-";
    QTest::newRow("case-insensitive for Chinese text too") << "中文ABC"
                                                           << "abc"
                                                           << ""
                                                           << "中文";
}

void TestSystemRegex::replace()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(regexReplace(text, pattern, replacement), expected);
}

void TestSystemRegex::whiteSpaceClassIsAsciiOnly_data()
{
    QTest::addColumn<QString>("ch");
    QTest::addColumn<bool>("isSpace");
    QTest::newRow("space") << " " << true;
    QTest::newRow("tab") << "\t" << true;
    QTest::newRow("CR") << "\r" << true;
    QTest::newRow("LF") << "\n" << true;
    QTest::newRow("form feed") << "\f" << true;
    QTest::newRow("vertical tab") << "\v" << true;
    QTest::newRow("ideographic space") << QString(QChar(0x3000)) << false;
    QTest::newRow("no-break space") << QString(QChar(0x00A0)) << false;
    QTest::newRow("next line") << QString(QChar(0x0085)) << false;
}

void TestSystemRegex::whiteSpaceClassIsAsciiOnly()
{
    QFETCH(QString, ch);
    QFETCH(bool, isSpace);
    QCOMPARE(SystemRegex(u"^\\s$"_s).matchesAnywhere(ch), isSpace);
    QCOMPARE(SystemRegex(u"^[\\s]$"_s).matchesAnywhere(ch), isSpace);
}

void TestSystemRegex::invalidPattern_leavesTextUnchanged()
{
    QVERIFY(!SystemRegex(u"(unclosed"_s).isValid());
    QCOMPARE(regexReplace(u"keep me"_s, u"(unclosed"_s, QString()), u"keep me"_s);
    QCOMPARE(regexConcat(u"keep me"_s, u"["_s), QString());
}

void TestSystemRegex::concat_joinsAllMatchesInOrder()
{
    QCOMPARE(regexConcat(u"a1b22c333"_s, u"\\d+"_s), u"122333"_s);
    QCOMPARE(regexConcat(u"abc"_s, u"\\d"_s), QString());
}

QTEST_APPLESS_MAIN(TestSystemRegex)
#include "tst_system_regex.moc"
