// The typo and sensitive-word libraries the application folder ships, at
// their real size: published news must pass both checks untouched, and every
// typo the library lists must be found and corrected where it stands.
#include "checks/sensitive_words.h"
#include "checks/typo_check.h"
#include "testsupport/sample_rows.h"
#include "text/gbk.h"
#include "text/text_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QString shippedLibrary(const QString &name)
{
    return readTextFile(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/") + name);
}

// What the red marks hold, for a failure message that names the words.
QString markedWords(const QString &html)
{
    static const QRegularExpression mark(u"<font color=red>(.*?)</font>"_s);
    QStringList words;
    for (const QRegularExpressionMatch &m : mark.globalMatch(html))
        words << m.captured(1);
    return words.join(u' ');
}

} // namespace

class TestShippedLibraries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedLibraries_areReadAsGbk();
    void publishedArticles_passBothChecks_data();
    void publishedArticles_passBothChecks();
    void everyTypo_isCorrectedWhereItStands();
};

void TestShippedLibraries::shippedLibraries_areReadAsGbk()
{
    // readTextFile takes valid UTF-8 for UTF-8; a GBK library misread that
    // way would match nothing.
    for (const QString &name : {u"error.dat"_s, u"hexie.dat"_s, u"same.dat"_s}) {
        QFile file(QString::fromUtf8(ZORVANE_APPDIR_TEMPLATE "/data/") + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(name));
        QCOMPARE(shippedLibrary(name), fromGbk(bytes));
    }
}

void TestShippedLibraries::publishedArticles_passBothChecks_data()
{
    if (!addExpectedArticleRows())
        QSKIP(sampleSkipMessage());
}

void TestShippedLibraries::publishedArticles_passBothChecks()
{
    // Every finding on correct, published news is a false alarm.
    QFETCH(QString, path);
    const QString html = readTextFile(path);
    QVERIFY(!html.isEmpty());

    int typos = -1;
    const QString marked = markTypos(html, TypoIndex(shippedLibrary(u"error.dat"_s)), TypoMark::Mark, typos);
    QVERIFY2(typos == 0, qPrintable(u"typos: "_s + markedWords(marked)));
    QCOMPARE(marked, html);

    const SensitiveWordsResult sensitive = checkSensitiveWords(html, SensitiveIndex(shippedLibrary(u"hexie.dat"_s)));
    QVERIFY2(sensitive.count == 0, qPrintable(u"sensitive words: "_s + markedWords(sensitive.marked)));
    QCOMPARE(sensitive.marked, html);
}

void TestShippedLibraries::everyTypo_isCorrectedWhereItStands()
{
    const QString library = shippedLibrary(u"error.dat"_s);
    const QStringList lines = library.split(u"\r\n"_s, Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 1000);

    // The check only ever looks at a key's first occurrence in the library.
    // These seven stand after a longer wrong form that holds them (坐板橙,
    // 流光溢采, 心滿意足, 红颜簿命, 严格尊守, 夜澜珊, 风声鹤戾), so only that
    // longer form is ever found.
    const QStringList shadowed{u"板橙"_s, u"溢采"_s, u"滿意"_s, u"簿命"_s, u"尊守"_s, u"澜珊"_s, u"鹤戾"_s};

    QString text;
    QString corrected;
    int expected = 0;
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'|');
        QCOMPARE(fields.size(), 2);
        const bool found = !shadowed.contains(fields.at(0));
        text += fields.at(0) + u'，';
        corrected += fields.at(found ? 1 : 0) + u'，';
        expected += found;
    }
    int count = -1;
    const QString result = markTypos(text, TypoIndex(library), TypoMark::Replace, count);
    // A shorter key may fix a longer wrong form on its own (千钓 in 千钓一发):
    // the text must come out right, one correction a form, whichever key did it.
    QCOMPARE(result, corrected);
    QCOMPARE(count, expected);
}

QTEST_GUILESS_MAIN(TestShippedLibraries)
#include "tst_shipped_libraries.moc"
