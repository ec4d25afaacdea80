// The synonym library the application folder ships, over published news:
// whatever the replacement changes must be one library word exchanged for
// another word of its own group.
#include "literal_synonyms.h"
#include "rewrite/synonyms.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include <deque>
#include <optional>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

struct Groups
{
    QList<QStringList> words;
    QHash<QString, qsizetype> groupOf;
    qsizetype longest = 0;
};

Groups readGroups(const QString &library)
{
    Groups groups;
    for (const QString &line : library.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        const QStringList words = line.split(u'|');
        for (const QString &word : words) {
            groups.groupOf.insert(word, groups.words.size());
            groups.longest = std::max(groups.longest, word.size());
        }
        groups.words.append(words);
    }
    return groups;
}

// The fewest exchanges of a library word for another of its group that turn
// `before` into `after`, every other character kept; nullopt when no such
// sequence exists. A shortest path over (position in before, position in
// after): a kept character costs nothing, an exchange costs one.
std::optional<int> exchangesWithinGroups(const QString &before, const QString &after, const Groups &groups)
{
    struct Step
    {
        qsizetype i, j;
        int cost;
    };
    QHash<std::pair<qsizetype, qsizetype>, int> best;
    std::deque<Step> queue{{0, 0, 0}};
    best.insert({0, 0}, 0);
    Step step{0, 0, 0};
    auto reach = [&](qsizetype i, qsizetype j, int cost) {
        const auto it = best.constFind({i, j});
        if (it != best.cend() && *it <= cost)
            return;
        best.insert({i, j}, cost);
        if (cost == step.cost)
            queue.push_front({i, j, cost});
        else
            queue.push_back({i, j, cost});
    };
    while (!queue.empty()) {
        step = queue.front();
        queue.pop_front();
        if (best.value({step.i, step.j}) < step.cost)
            continue;
        if (step.i == before.size() && step.j == after.size())
            return step.cost;
        for (qsizetype length = 1; length <= groups.longest && step.i + length <= before.size(); ++length) {
            const QString word = before.mid(step.i, length);
            const auto group = groups.groupOf.constFind(word);
            if (group == groups.groupOf.cend())
                continue;
            for (const QString &other : groups.words.at(*group)) {
                if (other != word && QStringView(after).mid(step.j).startsWith(other))
                    reach(step.i + length, step.j + other.size(), step.cost + 1);
            }
        }
        if (step.i < before.size() && step.j < after.size() && before.at(step.i) == after.at(step.j))
            reach(step.i + 1, step.j + 1, step.cost);
    }
    return std::nullopt;
}

} // namespace

class TestShippedSynonyms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exchangesWithinGroups_data();
    void exchangesWithinGroups();
    void publishedArticles_changeOnlyWithinGroups_data();
    void publishedArticles_changeOnlyWithinGroups();
};

// The measure the article test relies on, on cases small enough to read.
void TestShippedSynonyms::exchangesWithinGroups_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("exchanges"); // -1: not explained by exchanges
    QTest::newRow("unchanged") << u"仍然头昏"_s << u"仍然头昏"_s << 0;
    QTest::newRow("two exchanges, one sharing a first character") << u"仍然头昏。"_s << u"依然头晕。"_s << 2;
    QTest::newRow("words of different lengths") << u"x事实上y事实上"_s << u"x实际上y其实"_s << 2;
    QTest::newRow("a word of another group") << u"仍然"_s << u"实际上"_s << -1;
    QTest::newRow("a character lost") << u"仍然头昏"_s << u"依然头"_s << -1;
    QTest::newRow("a character added") << u"头昏"_s << u"头晕了"_s << -1;
}

void TestShippedSynonyms::exchangesWithinGroups()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, exchanges);
    const Groups groups = readGroups(u"仍然|依然\r\n头昏|头晕\r\n事实上|实际上|其实\r\n"_s);
    QCOMPARE(::exchangesWithinGroups(before, after, groups).value_or(-1), exchanges);
}

// The published article and the whole page it was copied from, each
// exchanged literally and as whole words.
void TestShippedSynonyms::publishedArticles_changeOnlyWithinGroups_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("wholeWords");
    const auto articles = expectedArticles();
    if (articles.isEmpty())
        QSKIP(sampleSkipMessage());
    for (const auto &[name, expected] : articles) {
        const QString source = QFileInfo(expected).dir().filePath(u"source.html"_s);
        for (const bool wholeWords : {false, true}) {
            const char *mode = wholeWords ? "whole words" : "literal";
            QTest::addRow("%s, %s", qPrintable(name), mode) << expected << wholeWords;
            if (QFileInfo::exists(source))
                QTest::addRow("%s page, %s", qPrintable(name), mode) << source << wholeWords;
        }
    }
}

void TestShippedSynonyms::publishedArticles_changeOnlyWithinGroups()
{
    QFETCH(QString, path);
    QFETCH(bool, wholeWords);
    const QString library = readTextFile(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/same.dat"));
    const Groups groups = readGroups(library);
    QVERIFY(groups.words.size() > 100);
    const QString html = readTextFile(path);
    QVERIFY(!html.isEmpty());
    static const auto segmenter = WordSegmenter::load(WordSegmenter::systemDictionary());
    QVERIFY(segmenter->isLoaded());

    const SynonymIndex index(library);
    const QString replaced = replaceSynonyms(html, index, {wholeWords}, *segmenter);
    if (wholeWords) {
        // Every tag as it was, in its place among the others.
        static const QRegularExpression tag(u"<[^>]*>"_s);
        const auto tags = [](const QString &text) {
            QStringList out;
            for (auto it = tag.globalMatch(text); it.hasNext();)
                out << it.next().captured();
            return out;
        };
        QCOMPARE(tags(replaced), tags(html));
    } else {
        QCOMPARE(replaced, literalReplaceSynonyms(html, library));
    }
    const std::optional<int> exchanges = ::exchangesWithinGroups(html, replaced, groups);
    QVERIFY2(exchanges, "a change that is no exchange within one synonym group");
    qInfo("%s: %d words exchanged", QTest::currentDataTag(), *exchanges);
}

QTEST_GUILESS_MAIN(TestShippedSynonyms)
#include "tst_shipped_synonyms.moc"
