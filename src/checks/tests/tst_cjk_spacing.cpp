#include "checks/cjk_spacing.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestCjkSpacing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneBlank_publicCases_data();
    void oneBlank_publicCases();
    void spacing_examples_data();
    void spacing_examples();
};

void TestCjkSpacing::oneBlank_publicCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QFile file(QStringLiteral(ZORVANE_SOURCE_DIR "/src/checks/tests/data/autocorrect_spacing.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    int lineNumber = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        ++lineNumber;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        QCOMPARE(fields.size(), 2);
        QTest::addRow("line %d", lineNumber) << QString::fromUtf8(fields[0]) << QString::fromUtf8(fields[1]);
    }
}

// Each case spaced once gives its expected text, and the expected text is
// spaced already.
void TestCjkSpacing::oneBlank_publicCases()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(applyCjkSpacing(text, TextKind::Plain, CjkSpacing::OneBlank), expected);
    QCOMPARE(applyCjkSpacing(expected, TextKind::Plain, CjkSpacing::OneBlank), expected);
}

void TestCjkSpacing::spacing_examples_data()
{
    QTest::addColumn<TextKind>("kind");
    QTest::addColumn<CjkSpacing>("spacing");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const auto html = TextKind::Html;
    const auto plain = TextKind::Plain;
    const auto one = CjkSpacing::OneBlank;
    const auto none = CjkSpacing::NoBlank;

    QTest::newRow("0 leaves the text alone") << plain << CjkSpacing::Leave << u"中文abc  中文"_s << u"中文abc  中文"_s;
    QTest::newRow("several blanks become one")
        << plain << one << u"中文 \t abc\u00A0\u00A0中文"_s << u"中文 abc\u00A0中文"_s;
    QTest::newRow("an ideographic space becomes a blank") << plain << one << u"中文　abc"_s << u"中文 abc"_s;
    QTest::newRow("2 removes them") << plain << none << u"中文 abc\u00A0\u00A0中文 3 月"_s << u"中文abc中文3月"_s;
    QTest::newRow("letters and digits among themselves stay")
        << plain << none << u"iPhone 12 Pro，Windows 10"_s << u"iPhone 12 Pro，Windows 10"_s;
    QTest::newRow("nothing beside full-width punctuation")
        << plain << none << u"他说： abc ，中文 “ABC” 中文"_s << u"他说： abc ，中文 “ABC” 中文"_s;
    QTest::newRow("a line break parts neighbours") << plain << one << u"中文\nabc\r\n中文"_s << u"中文\nabc\r\n中文"_s;
    QTest::newRow("accented Latin letters count") << plain << one << u"在café里"_s << u"在 café 里"_s;

    // Addresses.
    QTest::newRow("a path keeps its CJK characters")
        << plain << one << u"见https://example.com/新闻2024页面 和www.example.cn/路径a"_s
        << u"见 https://example.com/新闻2024页面 和 www.example.cn/路径a"_s;
    QTest::newRow("2 knows an address in capitals, not one inside a word")
        << plain << none << u"见 HTTP://A.CN/图 了解 awww.b.cn 详情"_s << u"见 HTTP://A.CN/图 了解awww.b.cn详情"_s;
    QTest::newRow("a host ends at a CJK character")
        << plain << one << u"访问www.example.cn了解"_s << u"访问 www.example.cn 了解"_s;
    QTest::newRow("an e-mail address is one piece")
        << plain << one << u"写信给editor.news@example.com.cn联系"_s << u"写信给 editor.news@example.com.cn 联系"_s;
    QTest::newRow("2 keeps the blank that ends an address")
        << plain << none << u"见 https://example.com/页面 了解 www.a.cn 详情"_s
        << u"见 https://example.com/页面 了解 www.a.cn 详情"_s;

    // Markup.
    QTest::newRow("never inside a tag or an attribute")
        << html << one << u"<p class=\"中文abc\"><a title=\"标题A\" href=\"/a中文\">链接abc</a></p>"_s
        << u"<p class=\"中文abc\"><a title=\"标题A\" href=\"/a中文\">链接 abc</a></p>"_s;
    QTest::newRow("across inline markup, outside it")
        << html << one << u"<b>新华社</b>Reuters<span>报道</span>"_s << u"<b>新华社 </b>Reuters <span>报道</span>"_s;
    QTest::newRow("2 across inline markup") << html << none << u"中文 <i> abc</i>"_s << u"中文<i>abc</i>"_s;
    QTest::newRow("a block boundary parts neighbours")
        << html << one << u"<p>中文</p><p>abc</p>中文<br>abc<img src=\"a.png\">中文"_s
        << u"<p>中文</p><p>abc</p>中文<br>abc<img src=\"a.png\">中文"_s;
    QTest::newRow("a no-break space written as a reference is a blank")
        << html << none << u"中文&nbsp;abc&amp;中文"_s << u"中文abc&amp;中文"_s;
    QTest::newRow("scripts and comments are no text")
        << html << one << u"<script>var a='中文abc';</script><!-- 中文abc -->中文"_s
        << u"<script>var a='中文abc';</script><!-- 中文abc -->中文"_s;
}

void TestCjkSpacing::spacing_examples()
{
    QFETCH(TextKind, kind);
    QFETCH(CjkSpacing, spacing);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(applyCjkSpacing(text, kind, spacing), expected);
}

QTEST_GUILESS_MAIN(TestCjkSpacing)
#include "tst_cjk_spacing.moc"
