#include "format/format_html.h"
#include "rewrite/pseudo_original.h"
#include "rewrite/rewrite_texts.h"
#include "rewrite/shuffle.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString Article =
    u"<P class=\"a\">今天很美丽。明天也很美丽。后天还是很美丽。</P><p>第二段漂亮。</p><p>第三段。</p>"_s;

} // namespace

class TestPseudoOriginal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shuffleWithoutStrength_stopsAfterSynonyms();
    void synonymsAndShuffle_inOrderWithStatusTexts();
};

void TestPseudoOriginal::shuffleWithoutStrength_stopsAfterSynonyms()
{
    QStringList statuses;
    const auto result =
        oneKeyPseudoOriginal(Article, {true, true, -1, {}}, FormatOptions(), SynonymIndex(), WordSegmenter(),
                             *QRandomGenerator::global(), [&](const QString &text) { statuses << text; });
    QVERIFY(!result);
    QCOMPARE(statuses, (QStringList{RewriteText::kReplacingSynonyms, RewriteText::kChooseStrength}));
}

void TestPseudoOriginal::synonymsAndShuffle_inOrderWithStatusTexts()
{
    const SynonymIndex library(u"美丽|漂亮\r\n今天|今日"_s);
    QStringList statuses;
    QRandomGenerator random(3);
    const auto result = oneKeyPseudoOriginal(Article, {true, true, 2, {}}, FormatOptions(), library, WordSegmenter(),
                                             random, [&](const QString &text) { statuses << text; });
    QVERIFY(result);
    QCOMPARE(statuses,
             (QStringList{RewriteText::kReplacingSynonyms, RewriteText::kShuffling, RewriteText::kFormatting}));

    const QString replaced =
        u"<P class=\"a\">今日很漂亮。明天也很漂亮。后天还是很漂亮。</P><p>第二段美丽。</p><p>第三段。</p>"_s;
    QRandomGenerator same(3);
    QCOMPARE(*result, FormatHtml(shuffleParagraphs(replaced, 2, same), FormatMode::PseudoOriginal, FormatOptions(),
                                 CheckOptions(), TypoIndex()));
    QVERIFY(result->contains(u"今日很漂亮。"_s));
    QVERIFY(!result->contains(u"美丽。明天"_s));
}

QTEST_GUILESS_MAIN(TestPseudoOriginal)
#include "tst_pseudo_original.moc"
