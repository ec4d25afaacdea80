// zorvane-cli extract and format --article: the editor page of the
// application folder, opened without a window, keeps the article.
#include "cli_runner.h"
#include "format/format_html.h"
#include "snapshot/settings_snapshot.h"
#include "snapshot/word_libraries.h"
#include "testsupport/built_editor_page.h"
#include "testsupport/temp_app_folder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QString Headline = u"教育部：多措并举促进高校毕业生就业"_s;
const QString Sentence =
    u"记者从教育部获悉，今年全国高校毕业生规模预计达到新高，各地各校积极拓展就业渠道、优化就业服务，帮助毕业生尽早落实去向。"_s;

QString links(const QString &prefix, int count, const QString &text)
{
    QString list;
    for (int i = 0; i < count; ++i)
        list += u"<li><a href=\"http://edu.example.cn/%1/%2.html\">%3%2</a></li>"_s.arg(prefix).arg(i).arg(text);
    return list;
}

QString articleMarkup()
{
    QString html = u"<div class=\"article\">"_s;
    for (int i = 1; i <= 6; ++i)
        html += u"<p>第%1段。%2%2</p>"_s.arg(i).arg(Sentence);
    return html + u"</div>"_s;
}

// A Chinese news page's body: navigation, breadcrumbs, the article,
// related news and a footer.
QString pageBody()
{
    return u"<ul class=\"nav\">"_s + links(u"nav"_s, 12, u"首页新闻"_s) + u"</ul>"_s
           + u"<div class=\"crumbs\"><a href=\"/\">首页</a> &gt;&gt; <a href=\"/zx/\">教育资讯</a> &gt;&gt; 正文</div>"_s
           + u"<h1>"_s + Headline + u"</h1>"_s + articleMarkup() + u"<div class=\"related\"><ul>"_s
           + links(u"rel"_s, 10, u"高校毕业生就业创业政策解读"_s) + u"</ul></div><div class=\"footer\">"_s
           + links(u"about"_s, 6, u"关于我们"_s) + u"<p>版权所有</p></div>"_s;
}

QString savedPage()
{
    return u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>"_s + Headline
           + u"_教育资讯_中国教育网</title></head><body>"_s + pageBody() + u"</body></html>"_s;
}

} // namespace

class TestCliExtract : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void extract_keepsTitleAndArticle_data();
    void extract_keepsTitleAndArticle();
    void formatArticle_formatsWhatExtractKeeps();
    void formatArticle_manyFiles_eachAsOneFile();
    void errors_data();
    void errors();

private:
    std::unique_ptr<TempAppFolder> m_app;
};

void TestCliExtract::init()
{
    m_app = std::make_unique<TempAppFolder>();
    QVERIFY(installBuiltEditorPage(*m_app));
}

void TestCliExtract::cleanup()
{
    m_app.reset();
}

void TestCliExtract::extract_keepsTitleAndArticle_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("saved page from a file") << savedPage() << true;
    QTest::newRow("clipboard fragment on standard input") << pageBody() << false;
}

void TestCliExtract::extract_keepsTitleAndArticle()
{
    QFETCH(QString, page);
    QFETCH(bool, fromFile);
    QStringList args{u"extract"_s};
    QByteArray input = page.toUtf8();
    if (fromFile) {
        QVERIFY(m_app->writeFile(u"\\page.html", input));
        args << m_app->path(u"\\page.html");
        input.clear();
    }
    const CliRun run = runCli(m_app->folder().root(), args, input);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QString out = run.outText();
    QVERIFY2(out.startsWith(u"<p>"_s + Headline + u"</p>"_s), qPrintable(out));
    QVERIFY(out.contains(u"第6段。"_s + Sentence));
    for (const QString &gone : {u"首页新闻"_s, u"教育资讯"_s, u"政策解读"_s, u"版权所有"_s})
        QVERIFY2(!out.contains(gone), qPrintable(gone));
}

void TestCliExtract::formatArticle_formatsWhatExtractKeeps()
{
    QVERIFY(m_app->writeSettings(u"[Format]\nHeadSpace=1\nSpaceNum=2\nSpaceStr=1"_s));
    const CliRun extracted = runCli(m_app->folder().root(), {u"extract"_s}, savedPage().toUtf8());
    QCOMPARE(extracted.exitCode, 0);
    const CliRun formatted = runCli(m_app->folder().root(), {u"format"_s, u"--article"_s}, savedPage().toUtf8());
    QCOMPARE(formatted.exitCode, 0);
    // One-key format with the folder's settings and typo library, as the command runs it.
    const SettingsSnapshot settings = readSettingsSnapshot();
    WordLibraries libraries;
    QCOMPARE(formatted.outText(),
             FormatHtml(extracted.outText(), FormatMode::OneKeyFormat, settings.format, settings.checks,
                        libraries.typosFor(FormatMode::OneKeyFormat, settings.format)));
    QVERIFY(formatted.outText().startsWith(u"<p>\u3000\u3000"_s + Headline + u"</p>"_s));
}

// The page runs on the main thread, one page after the other; the formatting
// on the workers. Every result is the one-file command's.
void TestCliExtract::formatArticle_manyFiles_eachAsOneFile()
{
    QVERIFY(m_app->writeFile(u"\\a.html", savedPage().toUtf8()));
    QVERIFY(m_app->writeFile(u"\\b.html", pageBody().toUtf8()));
    QVERIFY(m_app->writeFile(u"\\c.html", "<p>\xE4\xB8</p>"));
    const QStringList files{m_app->path(u"\\a.html"), m_app->path(u"\\c.html"), m_app->path(u"\\b.html")};
    const QString out = m_app->path(u"\\out");
    const CliRun many = runCli(m_app->folder().root(),
                               QStringList{u"format"_s, u"--article"_s, u"-j"_s, u"2"_s, u"--out"_s, out} + files);
    QCOMPARE(many.exitCode, 1);
    QVERIFY2(many.errText().startsWith(u"zorvane-cli: "_s + files.at(1) + u": not valid UTF-8\n"_s),
             qPrintable(many.errText()));
    for (const QString &file : {files.at(0), files.at(2)}) {
        const CliRun one = runCli(m_app->folder().root(), {u"format"_s, u"--article"_s, file});
        QCOMPARE(one.exitCode, 0);
        QFile result(out + u'/' + QFileInfo(file).fileName());
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), one.out);
        QVERIFY(!one.outText().contains(u"版权所有"_s));
    }
}

void TestCliExtract::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("withPage");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("two files") << QStringList{u"extract"_s, u"a"_s, u"b"_s} << true << 2 << u"usage"_s;
    QTest::newRow("missing file") << QStringList{u"extract"_s, u"/nonexistent/page.html"_s} << true << 1
                                  << u"/nonexistent/page.html"_s;
    QTest::newRow("no editor page") << QStringList{u"extract"_s} << false << 1 << u"no editor page"_s;
    QTest::newRow("format --article without editor page")
        << QStringList{u"format"_s, u"--article"_s} << false << 1 << u"no editor page"_s;
}

void TestCliExtract::errors()
{
    QFETCH(QStringList, args);
    QFETCH(bool, withPage);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TempAppFolder bare;
    const CliRun run = runCli(withPage ? m_app->folder().root() : bare.folder().root(), args, pageBody().toUtf8());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.errText().contains(message), run.err.constData());
}

QTEST_GUILESS_MAIN(TestCliExtract)
#include "tst_cli_extract.moc"
