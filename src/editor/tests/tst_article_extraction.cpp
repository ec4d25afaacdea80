// Keeping only the article, in the real editor page, measured against the
// reference pages: each a whole page (source.html) with the article a reader
// view takes from it (expected.html). Agreement is the F1 of the two visible
// texts' tokens, a Chinese character one token, a word of other scripts one.
// One page without a window serves every sample.
#include "editor/editor_host.h"
#include "editor/windowless_editor.h"
#include "format/inner_text.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QStringList tokens(const QString &text)
{
    static const QRegularExpression token(
        uR"([\p{Han}\p{Hiragana}\p{Katakana}]|(?:(?![\p{Han}\p{Hiragana}\p{Katakana}])[\p{L}\p{N}\p{M}])+)"_s);
    QStringList found;
    for (const QRegularExpressionMatch &match : token.globalMatch(text))
        found << match.captured();
    return found;
}

// Bag-of-tokens F1 of the visible texts of two HTML documents.
double textF1(const QString &html, const QString &reference)
{
    const QStringList got = tokens(htmlToInnerText(html));
    const QStringList want = tokens(htmlToInnerText(reference));
    if (got.isEmpty() && want.isEmpty())
        return 1.0;
    QHash<QString, int> left;
    for (const QString &t : want)
        ++left[t];
    int common = 0;
    for (const QString &t : got) {
        auto it = left.find(t);
        if (it != left.end() && it.value() > 0) {
            --it.value();
            ++common;
        }
    }
    if (common == 0)
        return 0.0;
    const double precision = double(common) / double(got.size());
    const double recall = double(common) / double(want.size());
    return 2 * precision * recall / (precision + recall);
}

QString readUtf8(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// What a browser puts on the clipboard when the reader selects a whole page:
// the body's markup, without the head and its title.
QString bodyMarkup(const QString &page)
{
    static const QRegularExpression open(u"<body\\b[^>]*>"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch start = open.match(page);
    if (!start.hasMatch())
        return page;
    const qsizetype from = start.capturedEnd();
    const qsizetype end = page.lastIndexOf(u"</body>"_s, -1, Qt::CaseInsensitive);
    return page.mid(from, end > from ? end - from : -1);
}

QStringList samplePages(const QString &folder)
{
    QStringList pages;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (QFile::exists(dir.filePath(name + u"/source.html"_s))
            && QFile::exists(dir.filePath(name + u"/expected.html"_s)))
            pages << dir.filePath(name);
    }
    return pages;
}

QString readabilityFolder()
{
    const QString samples = sampleFolder();
    return samples.isEmpty() ? QString() : samples + u"/readability"_s;
}

} // namespace

class TestArticleExtraction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void chinesePages_keepTheirArticle_data();
    void chinesePages_keepTheirArticle();
    void referencePages_agreeOnAverage();
    void articlesPastedAlone_loseNothing_data();
    void articlesPastedAlone_loseNothing();

private:
    QString extract(const QString &html);

    std::unique_ptr<WindowlessEditor> m_editor;
};

void TestArticleExtraction::initTestCase()
{
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    m_editor = std::make_unique<WindowlessEditor>();
    QVERIFY(m_editor->open(QString::fromUtf8(ZORVANE_APP_DIR "/lib")));
}

void TestArticleExtraction::cleanupTestCase()
{
    m_editor.reset();
}

QString TestArticleExtraction::extract(const QString &html)
{
    const std::optional<QString> article = keepArticle(m_editor->host(), html);
    return article.value_or(u"<no answer>"_s);
}

void TestArticleExtraction::chinesePages_keepTheirArticle_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("fragment");
    for (const QString &page : samplePages(sampleArticlesFolder())) {
        const QByteArray name = QDir(page).dirName().toUtf8();
        QTest::newRow(QByteArray(name + " saved whole").constData()) << page << false;
        QTest::newRow(QByteArray(name + " as the clipboard holds it").constData()) << page << true;
    }
}

void TestArticleExtraction::chinesePages_keepTheirArticle()
{
    QFETCH(QString, page);
    QFETCH(bool, fragment);
    const QString source = readUtf8(page + u"/source.html"_s);
    const QString article = extract(fragment ? bodyMarkup(source) : source);
    const double f1 = textF1(article, readUtf8(page + u"/expected.html"_s));
    qInfo("F1 %.3f", f1);
    QVERIFY2(f1 >= 0.95, qPrintable(u"F1 %1"_s.arg(f1)));

    // The headline is the first paragraph, without the site's name (the
    // page's own heading when it has one at the top of the article).
    static const QRegularExpression title(u"<title>([^<_|]*)"_s);
    const QString headline = title.match(source).captured(1).trimmed();
    QVERIFY(!headline.isEmpty());
    const QString firstLine = htmlToInnerText(article).trimmed().section(u"\r\n"_s, 0, 0);
    QCOMPARE(firstLine, headline);
}

void TestArticleExtraction::referencePages_agreeOnAverage()
{
    const QStringList pages = samplePages(readabilityFolder());
    if (pages.isEmpty())
        QSKIP("no readability reference pages beside the checkout");
    double sum = 0;
    QStringList weakest;
    for (const QString &page : pages) {
        const double f1 = textF1(extract(readUtf8(page + u"/source.html"_s)), readUtf8(page + u"/expected.html"_s));
        sum += f1;
        if (f1 < 0.9)
            weakest << u"%1 %2"_s.arg(QDir(page).dirName()).arg(f1, 0, 'f', 3);
    }
    const double mean = sum / double(pages.size());
    qInfo("mean F1 %.4f over %lld pages; below 0.9: %s", mean, qlonglong(pages.size()),
          qPrintable(weakest.join(u", "_s)));
    QVERIFY2(mean >= 0.95, qPrintable(u"mean F1 %1"_s.arg(mean)));
}

void TestArticleExtraction::articlesPastedAlone_loseNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("Chinese news articles") << sampleArticlesFolder();
    QTest::newRow("reference articles") << readabilityFolder();
}

void TestArticleExtraction::articlesPastedAlone_loseNothing()
{
    QFETCH(QString, folder);
    const QStringList pages = samplePages(folder);
    if (pages.isEmpty())
        QSKIP("no sample pages in this folder");
    int unchanged = 0;
    for (const QString &page : pages) {
        const QString expected = bodyMarkup(readUtf8(page + u"/expected.html"_s));
        const QString article = extract(expected);
        unchanged += article == expected;
        const double f1 = textF1(article, expected);
        QVERIFY2(f1 >= 0.99, qPrintable(u"%1: F1 %2"_s.arg(QDir(page).dirName()).arg(f1)));
    }
    qInfo("%d of %lld articles came back unchanged", unchanged, qlonglong(pages.size()));
}

int main(int argc, char *argv[])
{
    prepareForEditorPage();
    QGuiApplication app(argc, argv);
    TestArticleExtraction test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_article_extraction.moc"
