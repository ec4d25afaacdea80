#include "format/format_html.h"
#include "settings/config_snapshot.h"
#include "snapshot/settings_snapshot.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString kIdeographicSpace = QString(QChar(0x3000));

QString image(const QString &src, const QString &alt = {}, const QString &width = {})
{
    return u"<center><img src=\""_s + src + u"\" alt=\""_s + alt + u"\" width=\""_s + width
           + u"\" height=\"\" align=\"\"></center>"_s;
}

} // namespace

class TestFormatHtml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatHtml_data();
    void formatHtml();
    void keywordTarget_roundsHalfToEven_data();
    void keywordTarget_roundsHalfToEven();
    void insertKeyword_data();
    void insertKeyword();
    void typoCheck_usesLibraryAndMarkSetting_data();
    void typoCheck_usesLibraryAndMarkSetting();
};

void TestFormatHtml::formatHtml_data()
{
    QTest::addColumn<FormatOptions>("options");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    // Images and paragraphs
    QTest::newRow("two images between text, in order, outside paragraphs")
        << FormatOptions() << 0 << u"<p>a</p><img src='1.jpg' alt='x'><p>b</p><p>c<img src=2.jpg width=10>d</p>"_s
        << u"<p>a</p>"_s + image(u"1.jpg"_s, u"x"_s) + u"<p>b</p><p>c</p>"_s + image(u"2.jpg"_s, {}, u"10"_s)
               + u"<p>d</p>"_s;
    QTest::newRow("image attribute with a double quote stays one attribute")
        << FormatOptions() << 0 << u"<img src=\"a.jpg?x=1&amp;y=2\" alt='say \"hi\"'>"_s
        << image(u"a.jpg?x=1&amp;y=2"_s, u"say &quot;hi&quot;"_s);
    QTest::newRow("block structure and br become paragraphs")
        << FormatOptions() << 0 << u"<div>one<br>two</div><table><tr><td>x</td><td>y</td></tr></table>"_s
        << u"<p>one</p><p>two</p><p>x\ty</p>"_s;
    QTest::newRow("empty article") << FormatOptions() << 1 << u""_s << u""_s;
    QTest::newRow("only markup, no text") << FormatOptions() << 1 << u"<p> </p><script>x</script>"_s << u""_s;
    QTest::newRow("text that reads as markup stays text")
        << FormatOptions() << 0 << u"<p>&lt;script&gt;a &amp; b&lt;/script&gt;</p>"_s
        << u"<p>&lt;script&gt;a &amp; b&lt;/script&gt;</p>"_s;

    // Indentation
    QTest::newRow("two ideographic spaces")
        << FormatOptions{.headSpace = true, .spaceNum = 2, .fullSpace = true} << 0 << u"<p>a</p>"_s
        << u"<p>"_s + kIdeographicSpace + kIdeographicSpace + u"a</p>"_s;
    QTest::newRow("two &nbsp;") << FormatOptions{.headSpace = true, .spaceNum = 2} << 0 << u"<p>a</p>"_s
                                << u"<p>&nbsp;&nbsp;a</p>"_s;
    QTest::newRow("SpaceNum 0 leaves lines bare")
        << FormatOptions{.headSpace = true, .spaceNum = 0} << 0 << u"<p>a</p><p>b</p>"_s << u"ab"_s;
    QTest::newRow("missing SpaceNum leaves lines bare")
        << FormatOptions{.headSpace = true} << 0 << u"<p>a</p>"_s << u"a"_s;
    QTest::newRow("existing indentation is trimmed first")
        << FormatOptions{.headSpace = true, .spaceNum = 1, .fullSpace = true} << 0 << u"<p>\u3000\u3000a</p>"_s
        << u"<p>\u3000a</p>"_s;
    QTest::newRow("line ending with # is bare") << FormatOptions() << 0 << u"<p>C#</p><p>x</p>"_s << u"C#<p>x</p>"_s;

    // Links
    QTest::newRow("RemoveLink 1, SaveWords 0: link words vanish")
        << FormatOptions{.removeLink = true} << 0 << u"<p>a<a href=x>link</a>b</p>"_s << u"<p>ab</p>"_s;
    QTest::newRow("SaveWords 1: link words stay") << FormatOptions{.removeLink = true, .saveWords = true} << 0
                                                  << u"<p>a<a href=x>link</a>b</p>"_s << u"<p>alinkb</p>"_s;
    QTest::newRow("RemoveLink 0: link words stay")
        << FormatOptions{} << 0 << u"<p>a<a href=x>link</a>b</p>"_s << u"<p>alinkb</p>"_s;
    QTest::newRow("anchor without href is not a link")
        << FormatOptions{.removeLink = true} << 0 << u"<p>a<a name=x>mark</a>b</p>"_s << u"<p>amarkb</p>"_s;
    QTest::newRow("link holding an image keeps the image")
        << FormatOptions{.removeLink = true} << 0 << u"<p>a<a href=x>t<img src=i.jpg>u</a>b</p>"_s
        << u"<p>a</p>"_s + image(u"i.jpg"_s) + u"<p>b</p>"_s;

    // Spaces and width
    QTest::newRow("ExtSpace removes spaces, indentation added after")
        << FormatOptions{.extSpace = true, .headSpace = true, .spaceNum = 1, .fullSpace = true} << 0
        << u"<p>Hello world\u3000x&amp;nbsp;y</p>"_s << u"<p>\u3000Helloworldx&amp;nbsp;y</p>"_s;
    QTest::newRow("no-break space survives trim and ExtSpace")
        << FormatOptions{.extSpace = true} << 0 << u"<p>&nbsp;</p><p> a&nbsp;b </p>"_s
        << u"<p>\u00A0</p><p>a\u00A0b</p>"_s;
    QTest::newRow("Full turns full-width letters and digits to ASCII")
        << FormatOptions{.full = true} << 0 << u"<p>ＡＢｃ１２，</p>"_s << u"<p>ABc12，</p>"_s;

    // Signature
    const FormatOptions sign{.autoSign = true, .sign = u"S"_s, .signAtStart = true, .signAtEnd = true};
    QTest::newRow("signature added at both sides") << sign << 1 << u"<p>x</p>"_s << u"<p>SxS</p>"_s;
    QTest::newRow("signature already at both sides") << sign << 1 << u"<p>SxS</p>"_s << u"<p>SxS</p>"_s;
    QTest::newRow("signature only where missing") << sign << 1 << u"<p>Sx</p>"_s << u"<p>SxS</p>"_s;
    QTest::newRow("signature only at the start")
        << FormatOptions{.autoSign = true, .sign = u"S"_s, .signAtStart = true} << 1 << u"<p>x</p>"_s << u"<p>Sx</p>"_s;
    QTest::newRow("mode 0 never signs") << sign << 0 << u"<p>x</p>"_s << u"<p>x</p>"_s;
    QTest::newRow("mode 2 never signs") << sign << 2 << u"<p>x</p>"_s << u"<p>x</p>"_s;
    QTest::newRow("AutoSign 0") << FormatOptions{.sign = u"S"_s, .signAtStart = true, .signAtEnd = true} << 1
                                << u"<p>x</p>"_s << u"<p>x</p>"_s;

    // Punctuation
    QTest::newRow("mode 1 Point 1 converts punctuation")
        << FormatOptions{.point = true} << 1 << u"<p>a,b.</p>"_s << u"<p>a，b。</p>"_s;
    QTest::newRow("mode 0 leaves punctuation")
        << FormatOptions{.point = true} << 0 << u"<p>a,b.</p>"_s << u"<p>a,b.</p>"_s;

    // Chinese-Latin spacing, after the punctuation routine of one-key format
    QTest::newRow("mode 1 CjkSpace 1 spaces after the punctuation")
        << FormatOptions{.point = true, .cjkSpace = CjkSpacing::OneBlank} << 1 << u"<p>用iPhone拍,好</p><p>a中</p>"_s
        << u"<p>用 iPhone 拍，好</p><p>a 中</p>"_s;
    QTest::newRow("mode 1 CjkSpace 1 leaves an address")
        << FormatOptions{.cjkSpace = CjkSpacing::OneBlank} << 1 << u"<p>见www.example.cn/图片 用iPhone拍</p>"_s
        << u"<p>见 www.example.cn/图片 用 iPhone 拍</p>"_s;
    QTest::newRow("mode 1 CjkSpace 2 removes blanks")
        << FormatOptions{.cjkSpace = CjkSpacing::NoBlank} << 1 << u"<p>共 3 件 iPhone</p>"_s << u"<p>共3件iPhone</p>"_s;
    QTest::newRow("mode 2 leaves the blanks")
        << FormatOptions{.cjkSpace = CjkSpacing::OneBlank} << 2 << u"<p>共3件</p>"_s << u"<p>共3件</p>"_s;

    // Keyword (10 characters of text, 20 % density, one-character keyword: 2.5 rounds to 2)
    const auto keyword = [](const QString &linkUrl = {}, int linkType = 0) {
        return FormatOptions{
            .keyword = {.insert = true, .density = 20, .word = u"K"_s, .linkUrl = linkUrl, .linkType = linkType}};
    };
    QTest::newRow("keyword inserted every step and linked")
        << keyword(u"example.com"_s) << 2 << u"<p>abcdefghij</p>"_s
        << u"abcde<a href=\"http://example.com\">K</a>fghij<a href=\"http://example.com\">K</a>"_s;
    QTest::newRow("keyword link opening a new window")
        << keyword(u"http://e.com"_s, 1) << 2 << u"<p>abcdefghij</p>"_s
        << u"abcde<a href=\"http://e.com\" target=_blank>K</a>fghij<a href=\"http://e.com\" target=_blank>K</a>"_s;
    QTest::newRow("other link type leaves the keyword plain")
        << keyword(u"http://e.com"_s, 2) << 2 << u"<p>abcdefghij</p>"_s << u"abcdeKfghijK"_s;
    QTest::newRow("blank link address leaves the keyword plain")
        << keyword(u"   "_s) << 2 << u"<p>abcdefghij</p>"_s << u"abcdeKfghijK"_s;
    QTest::newRow("keyword already frequent: linked, not inserted")
        << keyword(u"e.com"_s) << 2 << u"<p>aKbKcKdKx</p>"_s
        << u"<p>a<a href=\"http://e.com\">K</a>b<a href=\"http://e.com\">K</a>c<a href=\"http://e.com\">K</a>d<a href=\"http://e.com\">K</a>x</p>"_s;
    QTest::newRow("density 0: nothing inserted or linked")
        << FormatOptions{.keyword = {.insert = true, .density = 0, .word = u"K"_s, .linkUrl = u"e.com"_s}} << 2
        << u"<p>aKb</p>"_s << u"<p>aKb</p>"_s;
    QTest::newRow("density 21: nothing inserted or linked")
        << FormatOptions{.keyword = {.insert = true, .density = 21, .word = u"K"_s, .linkUrl = u"e.com"_s}} << 2
        << u"<p>aKb</p>"_s << u"<p>aKb</p>"_s;
    QTest::newRow("Keyword 0: nothing inserted") << FormatOptions{.keyword = {.density = 20, .word = u"K"_s}} << 2
                                                 << u"<p>abcdefghij</p>"_s << u"<p>abcdefghij</p>"_s;
    QTest::newRow("mode 1 never inserts the keyword")
        << keyword() << 1 << u"<p>abcdefghij</p>"_s << u"<p>abcdefghij</p>"_s;
}

void TestFormatHtml::formatHtml()
{
    QFETCH(FormatOptions, options);
    QFETCH(int, mode);
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(FormatHtml(html, FormatMode(mode), options, CheckOptions(), TypoIndex()), expected);
}

void TestFormatHtml::keywordTarget_roundsHalfToEven_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<int>("density");
    QTest::addColumn<qint64>("keywordLength");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("760 x 5 / (95 x 2) = 20") << qint64(760) << 5 << qint64(2) << qint64(20);
    QTest::newRow("2.5 rounds down to 2") << qint64(10) << 20 << qint64(1) << qint64(2);
    QTest::newRow("3.5 rounds up to 4") << qint64(14) << 20 << qint64(1) << qint64(4);
    QTest::newRow("2.75 rounds to 3") << qint64(11) << 20 << qint64(1) << qint64(3);
    QTest::newRow("0.5 rounds to 0") << qint64(2) << 20 << qint64(1) << qint64(0);
    QTest::newRow("empty text") << qint64(0) << 10 << qint64(3) << qint64(0);
}

void TestFormatHtml::keywordTarget_roundsHalfToEven()
{
    QFETCH(qint64, length);
    QFETCH(int, density);
    QFETCH(qint64, keywordLength);
    QFETCH(qint64, expected);
    QCOMPARE(keywordTarget(length, density, keywordLength), expected);
}

void TestFormatHtml::insertKeyword_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("expected");
    QTest::newRow("after every multiple of the step") << u"abcdef"_s << 2 << u"abKcdKefK"_s;
    QTest::newRow("line-break characters count") << u"ab\r\ncd"_s << 3 << u"ab\r\nKcdK"_s;
    QTest::newRow("never between CR and LF") << u"a\r\nb"_s << 2 << u"a\r\nKbK"_s;
    QTest::newRow("never inside a surrogate pair") << u"a\U0001F600b"_s << 2 << u"a\U0001F600KbK"_s;
    const QString placeholder = u"#FormatImgID_0#"_s;
    QTest::newRow("no insertion where the window holds an image placeholder")
        << QString(25, u'x') + placeholder + QString(50, u'y') << 30
        << QString(25, u'x') + placeholder + QString(20, u'y') + u'K' + QString(30, u'y') + u'K';
    QTest::newRow("placeholder cut by the window's end does not block")
        << QString(28, u'x') + placeholder << 20 << QString(20, u'x') + u'K' + QString(8, u'x') + placeholder;
}

void TestFormatHtml::insertKeyword()
{
    QFETCH(QString, text);
    QFETCH(int, step);
    QFETCH(QString, expected);
    QCOMPARE(::insertKeyword(text, u"K"_s, step), expected);
}

void TestFormatHtml::typoCheck_usesLibraryAndMarkSetting_data()
{
    QTest::addColumn<QString>("checkWordsType");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("replace") << "0" << 1 << u"<p>他的书</p>"_s;
    QTest::newRow("mark") << "1" << 1 << u"<p>他<font color=red>的的</font>书</p>"_s;
    // Only 1 marks: the settings dialog shows any other value as "replace",
    // and the punctuation of the same run is replaced as well.
    QTest::newRow("2 replaces, as the dialog shows it") << "2" << 1 << u"<p>他的书</p>"_s;
    QTest::newRow("not in mode 0") << "0" << 0 << u"<p>他的的书</p>"_s;
}

void TestFormatHtml::typoCheck_usesLibraryAndMarkSetting()
{
    QFETCH(QString, checkWordsType);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    // As the settings file says it, read the way every command reads it.
    const SettingsSnapshot settings = readSettingsSnapshot(
        ConfigSnapshot::fromBytes("[Format]\nCheckWords=1\nCheckWordsType=" + checkWordsType.toLatin1()));
    QCOMPARE(FormatHtml(u"<p>他的的书</p>"_s, FormatMode(mode), settings.format, settings.checks,
                        TypoIndex(u"的的|的\r\n"_s)),
             expected);
}

QTEST_GUILESS_MAIN(TestFormatHtml)
#include "tst_format_html.moc"
