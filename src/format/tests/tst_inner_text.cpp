#include "format/inner_text.h"
#include "format/scratch_document.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestInnerText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void innerText_data();
    void innerText();
    void deepNesting_rendersWithoutExhaustingTheStack();
    void images_reportAttributesAsWritten();
    void replaceOuterHtml_parsesInTheParentsContext();
    void links_onlyAnchorsAndAreasWithHref();
    void setInnerHtml_emptiesAndRefills();
};

void TestInnerText::innerText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    QTest::newRow("paragraphs are two line breaks apart") << u"<p>a</p><p>b</p>"_s << u"a\r\n\r\nb"_s;
    QTest::newRow("blocks one line break apart") << u"<div>a</div><div>b</div>"_s << u"a\r\nb"_s;
    QTest::newRow("paragraph inside text of a block") << u"<div>a<p>b</p>c</div>"_s << u"a\r\n\r\nb\r\n\r\nc"_s;
    QTest::newRow("no breaks at the edges") << u"<p><p>a</p></p><div></div>"_s << u"a"_s;
    QTest::newRow("br") << u"a<br>b<br/>"_s << u"a\r\nb\r\n"_s;
    QTest::newRow("white space collapses") << u"  a \n\t b  "_s << u"a b"_s;
    QTest::newRow("collapses across inline elements") << u"<span>a </span> <b> b</b>"_s << u"a b"_s;
    QTest::newRow("space before a block boundary goes") << u"a <div> b </div> c"_s << u"a\r\nb\r\nc"_s;
    QTest::newRow("pre keeps white space") << u"<pre>a  b\nc</pre>"_s << u"a  b\r\nc"_s;
    QTest::newRow("white-space pre-line") << u"<div style='white-space:pre-line'>a  b\n c</div>"_s << u"a b\r\nc"_s;
    QTest::newRow("table cells by tab, rows by line break")
        << u"<table><tr><td>a</td><td>b</td></tr><tr><th>c</th><td>d</td></tr></table>"_s << u"a\tb\r\nc\td"_s;
    QTest::newRow("rows across table sections")
        << u"<table><thead><tr><td>h</td></tr></thead><tbody><tr><td>b</td></tr></tbody></table>"_s << u"h\r\nb"_s;
    QTest::newRow("list items") << u"<ul><li>a</li><li>b</li></ul>"_s << u"a\r\nb"_s;
    QTest::newRow("entities decoded") << u"a&amp;b&lt;c&nbsp;d&#x4E2D;"_s << u"a&b<c\u00A0d\u4E2D"_s;
    QTest::newRow("hidden elements skipped")
        << u"<script>s</script><style>p{}</style><template>t</template><title>x</title>a<span hidden>h</span>"
           u"<span style='display: none'>n</span><input type=hidden value=v>"_s
        << u"a"_s;
    QTest::newRow("noscript content never shows") << u"<p>a<noscript><div>x</div></noscript>b</p>"_s << u"ab"_s;
    QTest::newRow("style rule by class hides")
        << u"<style>.x{display:none}</style><div class='y x'>h</div>v"_s << u"v"_s;
    QTest::newRow("descendant and child selectors")
        << u"<style>#m > p b, div .z { display : none }</style><div id=m><p>a<b>h</b></p><i class=z>h</i></div>"_s
        << u"a"_s;
    QTest::newRow("important rule beats the style attribute")
        << u"<style>#i{display:none !important}</style><div id=i style='display:block'>h</div>v"_s << u"v"_s;
    QTest::newRow("style attribute beats a rule")
        << u"<style>#i{display:none}</style><div id=i style='display:block'>a</div>"_s << u"a"_s;
    QTest::newRow("later rule of equal specificity wins")
        << u"<style>.a{display:none}.b{display:block}</style><span class='a b'>x</span>y"_s << u"x\r\ny"_s;
    QTest::newRow("pseudo-class rules never match")
        << u"<style>a:hover{display:none} p::before{display:none}</style><a>v</a>"_s << u"v"_s;
    QTest::newRow("conditional media rules left out")
        << u"<style>@media (max-width: 10px){.x{display:none}}</style><b class=x>v</b>"_s << u"v"_s;
    QTest::newRow("long descendant selector failing at its start on a deep tree")
        << u"<style>nav div div div div div div div div div div b{display:none}</style>"_s + u"<div>"_s.repeated(300)
               + u"<b>x</b>"_s
        << u"x"_s;
    QTest::newRow("visibility hidden drops text") << u"<span style='visibility:hidden'>h</span>v"_s << u"v"_s;
    QTest::newRow("floated inline is block-level")
        << u"<span style='float:left'>a</span><span>b</span>"_s << u"a\r\nb"_s;
    QTest::newRow("closed details shows its summary")
        << u"<details><summary>s</summary>body</details><details open><summary>t</summary>u</details>"_s
        << u"s\r\nt\r\nu"_s;
    QTest::newRow("spaces on both sides of an image stay") << u"a <img src=x> b"_s << u"a  b"_s;
    QTest::newRow("messy markup gets the browser's tree")
        << u"<table><tr><td>a<p>b</table>c</b><i>d"_s << u"a\r\n\r\nb\r\n\r\ncd"_s;
}

void TestInnerText::innerText()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(htmlToInnerText(html), expected);
}

void TestInnerText::deepNesting_rendersWithoutExhaustingTheStack()
{
    const int depth = 20000;
    const QString html = u"<div>"_s.repeated(depth) + u"x"_s + u"</div>"_s.repeated(depth);
    QCOMPARE(htmlToInnerText(html), u"x"_s);
}

void TestInnerText::images_reportAttributesAsWritten()
{
    ScratchDocument doc;
    doc.load(u"<p><img src='a.jpg' alt='A' width='100px' height=20 align=left><template><img src=t></template>"
             u"<IMG SRC=b.png></p>"_s);
    const std::vector<ScratchDocument::ImageInfo> images = doc.images();
    QCOMPARE(images.size(), std::size_t(2));
    QCOMPARE(images[0].src, u"a.jpg"_s);
    QCOMPARE(images[0].alt, u"A"_s);
    QCOMPARE(images[0].width, u"100px"_s);
    QCOMPARE(images[0].height, u"20"_s);
    QCOMPARE(images[0].align, u"left"_s);
    QCOMPARE(images[1].src, u"b.png"_s);
    QCOMPARE(images[1].alt, QString());
    QCOMPARE(images[1].width, QString());
}

void TestInnerText::replaceOuterHtml_parsesInTheParentsContext()
{
    ScratchDocument doc;
    doc.load(u"<p>a<img src=x>b</p>"_s);
    const std::vector<ScratchDocument::ImageInfo> images = doc.images();
    QCOMPARE(images.size(), std::size_t(1));
    QVERIFY(doc.replaceOuterHtml(images[0].node, u"<br>#X#<br>"_s));
    QVERIFY(doc.images().empty());
    QCOMPARE(doc.bodyInnerText(), u"a\r\n#X#\r\nb"_s);
}

void TestInnerText::links_onlyAnchorsAndAreasWithHref()
{
    ScratchDocument doc;
    doc.load(u"<a href=1>one</a><a name=n>two</a><map><area href=3></map><a href=''>four</a>"_s);
    const std::vector<int> links = doc.links();
    QCOMPARE(links.size(), std::size_t(3));
    QCOMPARE(doc.textContent(links[0]), u"one"_s);
    QCOMPARE(doc.textContent(links[2]), u"four"_s);
}

void TestInnerText::setInnerHtml_emptiesAndRefills()
{
    ScratchDocument doc;
    doc.load(u"x<a href=1>one <b>two</b></a>y"_s);
    const int link = doc.links().front();
    doc.setInnerHtml(link, QString());
    QCOMPARE(doc.bodyInnerText(), u"xy"_s);
    doc.setInnerHtml(link, u"<i>new</i>"_s);
    QCOMPARE(doc.bodyInnerText(), u"xnewy"_s);
}

QTEST_GUILESS_MAIN(TestInnerText)
#include "tst_inner_text.moc"
