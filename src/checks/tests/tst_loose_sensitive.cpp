#include "checks/loose_sensitive.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestLooseSensitive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void disguisedWords_areMarkedWhole_data();
    void disguisedWords_areMarkedWhole();
    void spans_matchPlainScan_data();
    void spans_matchPlainScan();

private:
    // Two pairs of the mapping that the owner of the libraries reads from
    // OpenCC (its own test checks that reading).
    TraditionalChars m_traditional;
    std::shared_ptr<const CharFolding> m_folding;
};

void TestLooseSensitive::initTestCase()
{
    m_traditional.add(U'開', U'开');
    m_traditional.add(U'發', U'发');
    m_folding = std::make_shared<const CharFolding>(m_traditional);
}

void TestLooseSensitive::disguisedWords_areMarkedWhole_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("allow");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("count");

    const QString lib = u"敏感词\r\nspam\r\n代开发票\r\n发票\r\n黄片\r\n"_s;
    // Disguises, one each.
    QTest::newRow("hyphens between") << lib << QString() << u"这是敏-感-词。"_s
                                     << u"这是<font color=red>敏-感-词</font>。"_s << 1;
    QTest::newRow("blanks between") << lib << QString() << u"敏 感 词"_s << u"<font color=red>敏 感 词</font>"_s << 1;
    QTest::newRow("full-width asterisks")
        << lib << QString() << u"看敏＊感＊词"_s << u"看<font color=red>敏＊感＊词</font>"_s << 1;
    QTest::newRow("zero-width spaces") << lib << QString() << u"敏\u200B感\u200C词"_s
                                       << u"<font color=red>敏\u200B感\u200C词</font>"_s << 1;
    QTest::newRow("emoji between") << lib << QString() << u"敏😀感🙈词"_s << u"<font color=red>敏😀感🙈词</font>"_s << 1;
    QTest::newRow("an emoji sequence counts once")
        << lib << QString() << u"敏👨‍👩‍👧‍👦👍🏽❤️感词"_s
        << u"<font color=red>敏👨‍👩‍👧‍👦👍🏽❤️感词</font>"_s << 1;
    QTest::newRow("three signs between") << lib << QString() << u"敏-*-感词"_s << u"<font color=red>敏-*-感词</font>"_s
                                         << 1;
    QTest::newRow("four signs part a word") << lib << QString() << u"敏-*-*感词"_s << u"敏-*-*感词"_s << 0;
    QTest::newRow("a letter parts a word") << lib << QString() << u"敏a感词"_s << u"敏a感词"_s << 0;
    QTest::newRow("full-width letters") << lib << QString() << u"ｓｐａｍ！"_s << u"<font color=red>ｓｐａｍ</font>！"_s
                                        << 1;
    QTest::newRow("upper case") << lib << QString() << u"SPAM"_s << u"<font color=red>SPAM</font>"_s << 1;
    QTest::newRow("traditional form") << lib << QString() << u"代開發票"_s << u"<font color=red>代開發票</font>"_s << 1;
    QTest::newRow("all at once") << lib << QString() << u"代．開 發😀票"_s << u"<font color=red>代．開 發😀票</font>"_s
                                 << 1;
    QTest::newRow("at the very start and end")
        << lib << QString() << u"敏.感.词在头，尾是s p a m"_s
        << u"<font color=red>敏.感.词</font>在头，尾是<font color=red>s p a m</font>"_s << 2;

    // Counting spans.
    QTest::newRow("three occurrences are three spans")
        << lib << QString() << u"敏感词，敏感词和敏 感 词"_s
        << u"<font color=red>敏感词</font>，<font color=red>敏感词</font>和<font color=red>敏 感 词</font>"_s << 3;
    QTest::newRow("a word inside another makes one span")
        << lib << QString() << u"代开-发票"_s << u"<font color=red>代开-发票</font>"_s << 1;
    QTest::newRow("words that touch are two spans")
        << lib << QString() << u"发票发票"_s << u"<font color=red>发票</font><font color=red>发票</font>"_s << 2;

    // The allow-list.
    QTest::newRow("an allowed word protects the word inside it")
        << lib << u"三黄片\r\n"_s << u"三黄片和黄片"_s << u"三黄片和<font color=red>黄片</font>"_s << 1;
    QTest::newRow("a disguised allowed word still protects")
        << lib << u"三黄片"_s << u"三-黄-片"_s << u"三-黄-片"_s << 0;
    QTest::newRow("an allowed word that only overlaps protects nothing")
        << lib << u"片子"_s << u"黄片子"_s << u"<font color=red>黄片</font>子"_s << 1;

    // Markup is no text.
    QTest::newRow("inline tags inside a word are marked around")
        << lib << QString() << u"<p>敏<b>感</b>词</p>"_s
        << u"<p><font color=red>敏</font><b><font color=red>感</font></b><font color=red>词</font></p>"_s << 1;
    QTest::newRow("character references are the characters they name")
        << lib << QString() << u"敏&nbsp;感&#x2605;词"_s << u"<font color=red>敏&nbsp;感&#x2605;词</font>"_s << 1;
    QTest::newRow("a paragraph break is one blank")
        << lib << QString() << u"<p>敏感</p>\r\n<p>词</p>"_s
        << u"<p><font color=red>敏感</font></p>\r\n<p><font color=red>词</font></p>"_s << 1;
    QTest::newRow("never inside a tag or a script")
        << lib << QString() << u"<img alt=\"敏感词\"><script>var s = '敏感词';</script>"_s
        << u"<img alt=\"敏感词\"><script>var s = '敏感词';</script>"_s << 0;
    QTest::newRow("a word of signs alone is found as written")
        << u"☭\r\n"_s << QString() << u"<p title=\"☭\">a☭b</p>"_s << u"<p title=\"☭\">a<font color=red>☭</font>b</p>"_s
        << 1;
    QTest::newRow("no words, nothing found") << QString() << QString() << u"敏感词"_s << u"敏感词"_s << 0;
}

void TestLooseSensitive::disguisedWords_areMarkedWhole()
{
    QFETCH(QString, library);
    QFETCH(QString, allow);
    QFETCH(QString, html);
    QFETCH(QString, marked);
    QFETCH(int, count);
    const LooseSensitiveIndex index(library, allow, m_folding);
    const SensitiveWordsResult result = checkSensitiveWordsLoose(html, index);
    QCOMPARE(result.marked, marked);
    QCOMPARE(result.count, count);
}

namespace {

// The rule written out plainly for texts of word characters and one-unit
// signs: from every word character, walk each word along the text, allowing
// up to three signs before each of its later characters.
std::vector<SensitiveSpan> plainScan(const QString &text, const QStringList &blocked, const QStringList &allowed)
{
    struct Hit
    {
        qsizetype start;
        qsizetype end;
    };
    const auto isSign = [](QChar c) { return c == u'-' || c == u' ' || c == u'*' || c == u'\u200B'; };
    const auto occurrences = [&](const QStringList &words) {
        std::vector<Hit> hits;
        for (const QString &word : words) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                qsizetype at = i;
                qsizetype k = 0;
                while (k < word.size()) {
                    if (k > 0) {
                        int signs = 0;
                        while (at < text.size() && isSign(text[at]) && signs <= 3) {
                            ++at;
                            ++signs;
                        }
                        if (signs > 3)
                            break;
                    }
                    if (at >= text.size() || text[at].toCaseFolded() != word[k].toCaseFolded())
                        break;
                    ++at;
                    ++k;
                }
                if (k == word.size())
                    hits.push_back({i, at});
            }
        }
        return hits;
    };
    const std::vector<Hit> allowedHits = occurrences(allowed);
    std::vector<Hit> kept;
    for (const Hit &hit : occurrences(blocked)) {
        const bool inside = std::any_of(allowedHits.begin(), allowedHits.end(),
                                        [&](const Hit &a) { return a.start <= hit.start && hit.end <= a.end; });
        if (!inside)
            kept.push_back(hit);
    }
    std::sort(kept.begin(), kept.end(), [](const Hit &a, const Hit &b) { return a.start < b.start; });
    std::vector<SensitiveSpan> spans;
    for (const Hit &hit : kept) {
        if (!spans.empty() && hit.start < spans.back().start + spans.back().length)
            spans.back().length = std::max(spans.back().length, hit.end - spans.back().start);
        else
            spans.push_back({hit.start, hit.end - hit.start});
    }
    return spans;
}

} // namespace

void TestLooseSensitive::spans_matchPlainScan_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 2") << 2u;
    QTest::newRow("seed 3") << 3u;
}

// Small alphabets, so that words overlap, nest, repeat and sit in allowed words.
void TestLooseSensitive::spans_matchPlainScan()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QString wordChars = u"abA中"_s;
    const QString signs = u"- *\u200B"_s;
    const auto word = [&] {
        QString w;
        const int length = 1 + int(random.bounded(3));
        for (int i = 0; i < length; ++i)
            w += wordChars[random.bounded(wordChars.size())];
        return w;
    };
    int found = 0;
    for (int round = 0; round < 2000; ++round) {
        QStringList blocked;
        QStringList allowed;
        for (int i = int(random.bounded(4)); i > 0; --i)
            blocked << word();
        for (int i = int(random.bounded(3)); i > 0; --i)
            allowed << word() + word();
        QString text;
        for (int i = int(random.bounded(20)); i > 0; --i) {
            const bool sign = random.bounded(3) == 0;
            text += sign ? signs[random.bounded(signs.size())] : wordChars[random.bounded(wordChars.size())];
        }
        const LooseSensitiveIndex index(blocked.join(u"\r\n"_s), allowed.join(u"\n"_s), m_folding);
        const std::vector<SensitiveSpan> actual = findSensitiveSpans(text, TextKind::Plain, index);
        const std::vector<SensitiveSpan> expected = plainScan(text, blocked, allowed);
        const auto asText = [](const std::vector<SensitiveSpan> &spans) {
            QStringList parts;
            for (const SensitiveSpan &s : spans)
                parts << u"%1+%2"_s.arg(s.start).arg(s.length);
            return parts.join(u' ');
        };
        if (asText(actual) != asText(expected))
            qWarning().noquote() << "text" << text << "blocked" << blocked << "allowed" << allowed;
        QCOMPARE(asText(actual), asText(expected));
        found += int(actual.size());
    }
    QVERIFY2(found > 1000, "the generator should produce matches often");
}

QTEST_GUILESS_MAIN(TestLooseSensitive)
#include "tst_loose_sensitive.moc"
