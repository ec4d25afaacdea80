#include "editor/editor_session.h"
#include "editor/start_content.h"
#include "settings/config_keys.h"
#include "testsupport/in_memory_editor_host.h"
#include "testsupport/recording_view.h"
#include "testsupport/temp_app_folder.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const QDate Today(2026, 12, 7);

// The service server as the start content asks it: each request waits
// until the test answers it.
struct FakeService
{
    QStringList asked;
    QList<std::function<void(const QString &)>> waiting;

    StartContent::FetchText fetch()
    {
        return [this](const QString &mode, std::function<void(const QString &)> done) {
            asked.append(mode);
            waiting.append(std::move(done));
        };
    }
    // Answers the requests in the order they were made.
    void answer(const QStringList &replies)
    {
        const auto calls = std::exchange(waiting, {});
        for (qsizetype i = 0; i < calls.size(); ++i)
            calls[i](replies.value(i));
    }
};

struct Editor
{
    TempAppFolder app;
    InMemoryEditorHost host;
    RecordingView view;
    EditorSession session{host, view};
    StartContent start{session};
    QSignalSpy placed{&start, &StartContent::placed};
    FakeService service;

    Editor()
    {
        start.setClock([] { return Today; });
    }
};

} // namespace

class TestStartContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handOffText_placedOnceThePageAnswers();
    void defaultText_data();
    void defaultText();
    void waitsForFetchesAndForABusyPage();
    void modeChange_swapsDefaultTextsOnlyAfterPlacing();
    void laterHandOver_takesThePlaceOfTheStartContent();
    void takeHandOffText_data();
    void takeHandOffText();
};

void TestStartContent::handOffText_placedOnceThePageAnswers()
{
    Editor e;
    e.session.setMode(ModeName::Yc);
    e.start.start(u"<p>带来的文字</p>"_s, e.service.fetch());
    QVERIFY(e.service.asked.isEmpty());
    QCOMPARE(e.placed.size(), 0);
    e.start.pageReady();
    QCOMPARE(e.host.article(), u"<p>带来的文字</p>"_s);
    QCOMPARE(e.placed.size(), 1);
    e.start.hostIdle();
    e.start.pageReady();
    QCOMPARE(e.placed.size(), 1);
    QCOMPARE(configText(Cfg::Form::ShowDefaultYC), QString());
}

void TestStartContent::defaultText_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("userText"); // what the user put in before the page was ready
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("article");
    QTest::addColumn<QString>("showDefault");
    QTest::addColumn<QString>("showDefaultYC");

    const QString format = u"<p>格式化说明</p>"_s;
    const QString yc = u"<p>伪原创说明</p>"_s;
    const QStringList both{ModeName::Format, ModeName::Yc};
    const QString stamped = u"2026-12-07"_s;
    QTest::newRow("format mode, nothing shown yet")
        << QString() << ModeName::Format << QString() << QStringList{format, yc} << both << format << stamped
        << QString();
    QTest::newRow("yc mode") << QString() << ModeName::Yc << QString() << QStringList{format, yc} << both << yc
                             << QString() << stamped;
    QTest::newRow("seo mode shows the format text")
        << QString() << ModeName::Seo << QString() << QStringList{format, yc} << both << format << stamped << QString();
    QTest::newRow("shown today: not asked for")
        << u"[Form]\nShowDefault=2026-12-07\nShowDefaultYC=2026-12-07"_s << ModeName::Format << QString()
        << QStringList() << QStringList() << QString() << u"2026-12-07"_s << u"2026-12-07"_s;
    QTest::newRow("shown yesterday: asked again")
        << u"[Form]\nShowDefault=2026-12-06\nShowDefaultYC=2026-12-07"_s << ModeName::Format << QString()
        << QStringList{format} << QStringList{ModeName::Format} << format << stamped << u"2026-12-07"_s;
    QTest::newRow("the user's text stays")
        << QString() << ModeName::Format << u"<p>我的</p>"_s << QStringList{format, yc} << both << u"<p>我的</p>"_s
        << QString() << QString();
    QTest::newRow("failed fetch: nothing shown, nothing stamped")
        << QString() << ModeName::Format << QString() << QStringList{QString(), QString()} << both << QString()
        << QString() << QString();
}

void TestStartContent::defaultText()
{
    QFETCH(QString, settings);
    QFETCH(QString, mode);
    QFETCH(QString, userText);
    QFETCH(QStringList, replies);
    QFETCH(QStringList, asked);
    QFETCH(QString, article);
    QFETCH(QString, showDefault);
    QFETCH(QString, showDefaultYC);

    Editor e;
    QVERIFY(e.app.writeSettings(settings));
    e.session.setMode(mode);
    e.start.start(std::nullopt, e.service.fetch());
    QCOMPARE(e.service.asked, asked);
    e.host.setArticle(userText);
    e.start.pageReady();
    e.service.answer(replies);
    QCOMPARE(e.placed.size(), 1);
    QCOMPARE(e.host.article(), article);
    QCOMPARE(configText(Cfg::Form::ShowDefault), showDefault);
    QCOMPARE(configText(Cfg::Form::ShowDefaultYC), showDefaultYC);
}

void TestStartContent::waitsForFetchesAndForABusyPage()
{
    Editor e;
    e.start.start(std::nullopt, e.service.fetch());
    e.start.pageReady();
    QCOMPARE(e.placed.size(), 0); // both texts still on their way
    e.host.setBusy(true);
    e.service.answer({u"<p>格式化说明</p>"_s, QString()});
    QCOMPARE(e.placed.size(), 0); // a command waits for the page
    QCOMPARE(e.host.article(), QString());
    e.host.setBusy(false);
    e.start.hostIdle();
    QCOMPARE(e.placed.size(), 1);
    QCOMPARE(e.host.article(), u"<p>格式化说明</p>"_s);
}

void TestStartContent::modeChange_swapsDefaultTextsOnlyAfterPlacing()
{
    Editor e;
    e.start.start(std::nullopt, e.service.fetch());
    e.service.answer({u"<p>格式化说明</p>"_s, u"<p>伪原创说明</p>"_s});
    e.session.setMode(ModeName::Yc);
    e.start.modeChanged(ModeName::Yc);
    e.session.setMode(ModeName::Format);
    QCOMPARE(e.placed.size(), 0);

    e.start.pageReady();
    QCOMPARE(e.host.article(), u"<p>格式化说明</p>"_s);
    e.session.setMode(ModeName::Yc);
    e.start.modeChanged(ModeName::Yc);
    QCOMPARE(e.host.article(), u"<p>伪原创说明</p>"_s);
    QCOMPARE(configText(Cfg::Form::ShowDefaultYC), u"2026-12-07"_s);
}

void TestStartContent::laterHandOver_takesThePlaceOfTheStartContent()
{
    Editor e;
    e.start.start(std::nullopt, e.service.fetch());
    // Before the page answers, the text waits in place of the default text.
    e.start.handOver(u"<p>第一次</p>"_s);
    e.start.pageReady();
    e.service.answer({u"<p>格式化说明</p>"_s, u"<p>伪原创说明</p>"_s});
    QCOMPARE(e.placed.size(), 1);
    QCOMPARE(e.host.article(), u"<p>第一次</p>"_s);
    QCOMPARE(configText(Cfg::Form::ShowDefault), QString());
    // Afterwards it replaces the article.
    e.start.handOver(u"<p>第二次</p>"_s);
    QCOMPARE(e.host.article(), u"<p>第二次</p>"_s);
    QCOMPARE(e.placed.size(), 1);
}

void TestStartContent::takeHandOffText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text");
    QTest::newRow("article") << QByteArray("<p>hello</p>\r\n") << true << u"<p>hello</p>\r\n"_s;
    QTest::newRow("only line breaks and spaces") << QByteArray("  \r\n\r\n  ") << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
}

void TestStartContent::takeHandOffText()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, taken);
    QFETCH(QString, text);
    TempAppFolder folder;
    QVERIFY(folder.writeFile(u"\\html\\cache.html", file));
    const std::optional<QString> got = ::takeHandOffText(folder.folder());
    QCOMPARE(got.has_value(), taken);
    if (got)
        QCOMPARE(*got, text);
    // The file is taken away whole, blank or not: what is taken is taken once.
    QVERIFY(!QFile::exists(folder.path(u"\\html\\cache.html")));
    QVERIFY(!::takeHandOffText(folder.folder()));
}

QTEST_GUILESS_MAIN(TestStartContent)
#include "tst_start_content.moc"
