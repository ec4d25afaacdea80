// The scratch document's plain-text rendering against a real browser's
// document.body.innerText, on the sample pages.
#include "format/inner_text.h"
#include "testsupport/sample_pages.h"
#include "text/text_file.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <vector>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QStringList nonEmptyTrimmedLines(const QString &text)
{
    QStringList lines;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString trimmed = line.trimmed().toString();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

// Share of lines the two renderings have in common, in order: the longest
// common subsequence of the two line lists over the longer list.
double agreement(const QStringList &a, const QStringList &b)
{
    if (a.isEmpty() && b.isEmpty())
        return 1.0;
    std::vector<int> previous(std::size_t(b.size()) + 1, 0);
    std::vector<int> current(previous.size(), 0);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        for (qsizetype j = 1; j <= b.size(); ++j) {
            current[std::size_t(j)] = a.at(i - 1) == b.at(j - 1)
                                          ? previous[std::size_t(j - 1)] + 1
                                          : qMax(previous[std::size_t(j)], current[std::size_t(j - 1)]);
        }
        std::swap(previous, current);
    }
    return double(previous.back()) / double(qMax(a.size(), b.size()));
}

} // namespace

class TestBrowserAgreement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplePages_matchBrowserInnerText_data();
    void samplePages_matchBrowserInnerText();
};

void TestBrowserAgreement::samplePages_matchBrowserInnerText_data()
{
    QTest::addColumn<QString>("path");
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    const QDir articles(sampleArticlesFolder());
    const QStringList samples = articles.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QVERIFY2(!samples.isEmpty(), "no sample pages found");
    for (const QString &sample : samples) {
        for (const QString &file : {u"source.html"_s, u"expected.html"_s}) {
            const QString path = articles.filePath(sample + u'/' + file);
            QTest::newRow(qPrintable(sample + u'/' + file)) << path;
        }
    }
}

void TestBrowserAgreement::samplePages_matchBrowserInnerText()
{
    QFETCH(QString, path);
    const QString html = readTextFile(path);
    QVERIFY(!html.isEmpty());

    QWebEngineView view;
    view.resize(1200, 800);
    view.show();
    QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
    view.setHtml(u"<html><body>"_s + html + u"</body></html>"_s, QUrl(u"about:blank"_s));
    QVERIFY(loaded.wait(60000));

    QString browserText;
    bool answered = false;
    view.page()->runJavaScript(u"document.body ? document.body.innerText : ''"_s, QWebEngineScript::ApplicationWorld,
                               [&](const QVariant &result) {
                                   browserText = result.toString();
                                   answered = true;
                               });
    QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);

    const QStringList browserLines = nonEmptyTrimmedLines(browserText);
    const QStringList ownLines = nonEmptyTrimmedLines(htmlToInnerText(html).replace(u"\r\n"_s, u"\n"_s));
    QVERIFY(!browserLines.isEmpty());
    const double figure = agreement(browserLines, ownLines);
    qInfo("%s: %.2f%% of %lld browser lines / %lld own lines agree", qPrintable(QDir(path).dirName()), figure * 100.0,
          qlonglong(browserLines.size()), qlonglong(ownLines.size()));
    if (qEnvironmentVariableIsSet("ZORVANE_DUMP_INNERTEXT")) {
        const QString stem = qEnvironmentVariable("ZORVANE_DUMP_INNERTEXT") + u'/'
                             + QString(QString::fromLatin1(QTest::currentDataTag())).replace(u'/', u'_');
        QFile browserFile(stem + u".browser.txt"_s);
        if (browserFile.open(QIODevice::WriteOnly))
            browserFile.write(browserLines.join(u'\n').toUtf8());
        QFile ownFile(stem + u".own.txt"_s);
        if (ownFile.open(QIODevice::WriteOnly))
            ownFile.write(ownLines.join(u'\n').toUtf8());
    }
    QVERIFY2(figure >= 0.98, qPrintable(u"agreement %1%"_s.arg(figure * 100.0, 0, 'f', 2)));
}

QTEST_MAIN(TestBrowserAgreement)
#include "tst_browser_agreement.moc"
