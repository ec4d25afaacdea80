#include "net/http_request.h"
#include "rewrite/rewrite_texts.h"
#include "rewrite/translation.h"
#include "settings/config_keys.h"
#include "testsupport/fake_http_server.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"
#include "text/text_utils.h"
#include "translation_pages.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace zorvane;

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using TranslationPages::answerPage;

namespace {

const QString ServiceHost = u"translate.example"_s;

// Every outcome a translator reports.
struct Endings
{
    QList<TranslationOutcome> outcomes;

    explicit Endings(ArticleTranslator &translator)
    {
        QObject::connect(&translator, &ArticleTranslator::finished,
                         [this](const TranslationOutcome &outcome) { outcomes.append(outcome); });
    }
    bool wait(int count = 1) const
    {
        return QTest::qWaitFor([this, count] { return outcomes.size() >= count; }, 5000);
    }
    const TranslationOutcome &last() const { return outcomes.last(); }
};

} // namespace

Q_DECLARE_METATYPE(TranslationDirection)
Q_DECLARE_METATYPE(TranslationOutcome::Status)

class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void request_isTheFormByteForByte_data();
    void request_isTheFormByteForByte();
    void answer_givesParagraphs_data();
    void answer_givesParagraphs();
    void paragraphBreaks_agreeWithTheirPattern();
    void failures_leaveTheArticleAndTheCaption_data();
    void failures_leaveTheArticleAndTheCaption();
    void emptyArticle_sendsNothingAndTurnsTheCaption();
    void twoTranslations_bringTheCaptionBack();
    void newTranslation_dropsTheRunningOneSilently();
    void warning_untilCancelled();

private:
    std::unique_ptr<TempAppFolder> m_folder;
    std::unique_ptr<FakeHttpServer> m_server;
};

void TestTranslation::init()
{
    m_folder = std::make_unique<TempAppFolder>();
    QVERIFY(m_folder->isValid());
    m_server = std::make_unique<FakeHttpServer>();
    QVERIFY(m_server->isListening());
    // The host name only names the service; the connection goes to the address.
    QVERIFY(setConfigText(Cfg::Servers::Translate, ServiceHost));
    QVERIFY(m_server->serve(Cfg::Servers::TranslateAddress));
    QVERIFY(setConfigInt(Cfg::Servers::Timeout, 1));
}

void TestTranslation::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

void TestTranslation::request_isTheFormByteForByte_data()
{
    QTest::addColumn<QString>("article");
    QTest::addColumn<TranslationDirection>("direction");
    QTest::addColumn<QString>("cookie");
    QTest::addColumn<QString>("text");

    const QString chinese = u"中文 A&B=C"_s;
    QTest::newRow("to English, blank, & and = encoded, no cookie set")
        << chinese << TranslationDirection::ZhToEn << QString() << u"%E4%B8%AD%E6%96%87+A%26B%3DC"_s;
    QTest::newRow("to Chinese, the cookie string sent as set")
        << chinese << TranslationDirection::EnToZh << u"PREF=ID=1:TM=2; NID=3=abc"_s
        << u"%E4%B8%AD%E6%96%87+A%26B%3DC"_s;
    QTest::newRow("paragraphs the editor writes without line ends")
        << u"<p>第一段</p><p>第二段</p>"_s << TranslationDirection::ZhToEn << QString()
        << u"%3Cp%3E%E7%AC%AC%E4%B8%80%E6%AE%B5%3C%2Fp%3E%3Cp%3E%E7%AC%AC%E4%BA%8C%E6%AE%B5%3C%2Fp%3E"_s;
    QTest::newRow("line breaks, LF line ends, style and blank lines dropped")
        << u"<style>p{color:red}</style>一<BR />二\n \n三\n"_s << TranslationDirection::ZhToEn << QString()
        << u"%3Cp%3E%E4%B8%80%3C%2Fp%3E%3Cp%3E%E4%BA%8C%3C%2Fp%3E%3Cp%3E%E4%B8%89%3C%2Fp%3E"_s;
}

void TestTranslation::request_isTheFormByteForByte()
{
    QFETCH(QString, article);
    QFETCH(TranslationDirection, direction);
    QFETCH(QString, cookie);
    QFETCH(QString, text);
    if (!cookie.isEmpty())
        QVERIFY(setConfigText(Cfg::Servers::TranslateCookie, cookie));
    m_server->on(u"/"_s).reply(answerPage(u"x"_s));

    ArticleTranslator translator;
    Endings endings(translator);
    translator.translateArticle(article, direction);
    QVERIFY(endings.wait());

    const QString languages = direction == TranslationDirection::ZhToEn ? u"sl=zh-CN&tl=en"_s : u"sl=en&tl=zh-CN"_s;
    const QByteArray body =
        "js=n&prev=_t&hl=zh-CN&layout=2&eotf=1&" + languages.toLatin1() + "&ie=UTF-8&text=" + text.toLatin1();
    QCOMPARE(m_server->requests().size(), 1);
    const FakeRequest &sent = m_server->requests().first();
    QCOMPARE(sent.body, body);
    QCOMPARE(sent.raw, toGbk(buildPostRequest(u"/"_s, ServiceHost, QString::fromLatin1(body), cookie,
                                              u"http://translate.example/"_s)));
}

void TestTranslation::answer_givesParagraphs_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QString>("expected");

    const QByteArray plain = answerPage(u"<span title=\"你好\">Hello</span>"_s);
    const qsizetype splitEnd = plain.indexOf("</html>") + 4;
    QTest::newRow("end tag split across chunks")
        << QList<QByteArray>{plain.left(splitEnd), plain.mid(splitEnd)} << u"Hello"_s;

    const QByteArray entities =
        answerPage(u"&lt;p&gt;Chinese A&amp;B=C&lt;/p&gt;&lt;p&gt;Second paragraph&lt;/p&gt;"_s);
    QTest::newRow("paragraphs written in entities stay apart")
        << QList<QByteArray>{entities} << u"<p>Chinese A&B=C</p><p>Second paragraph</p>"_s;

    const QByteArray chinese = answerPage(u"&lt;p&gt;第一段&lt;/p&gt;&lt;p&gt;第二段&lt;br&gt;下一行&lt;/p&gt;"_s);
    const qsizetype insideACharacter = chinese.indexOf(u"段"_s.toUtf8()) + 1;
    QTest::newRow("UTF-8 split inside a character, a line break")
        << QList<QByteArray>{chinese.left(insideACharacter), chinese.mid(insideACharacter)}
        << u"<p>第一段</p><p>第二段</p><p>下一行</p>"_s;

    QTest::newRow("lines of the page's own markup")
        << QList<QByteArray>{answerPage(u"<span>One</span>\r\n<span>&quot;Two&quot;</span>"_s)}
        << u"<p>One</p><p>\"Two\"</p>"_s;
}

void TestTranslation::answer_givesParagraphs()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QString, expected);
    m_server->on(u"/"_s).chunks(chunks).delay(5ms);

    ArticleTranslator translator;
    Endings endings(translator);
    translator.translateArticle(u"<p>文章</p>"_s, TranslationDirection::ZhToEn);
    QVERIFY(translator.isRunning());
    QVERIFY(endings.wait());
    QCOMPARE(endings.last().status, TranslationOutcome::Status::Translated);
    QCOMPARE(endings.last().text, expected);
    QVERIFY(endings.last().replacesArticle());
    QVERIFY(!translator.isRunning());
}

void TestTranslation::paragraphBreaks_agreeWithTheirPattern()
{
    // The article's text as it was first made, with the pattern
    // "</p>|<br\s*/?>" for the paragraph ends, against the one pass.
    const auto literal = [](QString html) {
        html.replace(u"\r\n"_s, u"\n"_s);
        html.replace(u'\n', u"\r\n"_s);
        return htmlToParagraphs(regexReplace(html, u"</p>|<br\\s*/?>"_s, u"\r\n"_s));
    };
    const QStringList pieces = {u"</p>"_s, u"</P>"_s, u"<br"_s, u"<BR"_s, u" "_s, u"\t"_s, u"/"_s,
                                u">"_s,    u"\r\n"_s, u"\n"_s,  u"a"_s,   u"<"_s, u"\f"_s};
    QRandomGenerator random(5);
    for (int round = 0; round < 20000; ++round) {
        QString html;
        for (int i = random.bounded(1, 14); i > 0; --i)
            html += pieces[random.bounded(int(pieces.size()))];
        if (translationSourceText(html) != literal(html))
            QFAIL(qPrintable(u"«%1»: «%2» against «%3»"_s.arg(html, translationSourceText(html), literal(html))));
    }
}

void TestTranslation::failures_leaveTheArticleAndTheCaption_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<TranslationOutcome::Status>("status");
    QTest::addColumn<QString>("message");

    const QString network = u"网络故障，暂时无法使用翻译功能。"_s;
    QTest::newRow("connection refused") << u"refused"_s << TranslationOutcome::Status::NetworkFailure << network;
    QTest::newRow("page stalls before its end") << u"stall"_s << TranslationOutcome::Status::NetworkFailure << network;
    QTest::newRow("peer hangs up before the end tag")
        << u"close"_s << TranslationOutcome::Status::NetworkFailure << network;
    // A translation on an error page is not the service's answer.
    QTest::newRow("an error page holding a translation")
        << u"error page"_s << TranslationOutcome::Status::NetworkFailure << network;
    QTest::newRow("page without the result markers")
        << u"nomarkers"_s << TranslationOutcome::Status::NoResult << RewriteText::kTranslationNoResult;
    QTest::newRow("result element holding only markup and blanks")
        << u"blank"_s << TranslationOutcome::Status::NoResult << RewriteText::kTranslationNoResult;
}

void TestTranslation::failures_leaveTheArticleAndTheCaption()
{
    QFETCH(QString, scenario);
    QFETCH(TranslationOutcome::Status, status);
    QFETCH(QString, message);
    if (scenario == u"refused")
        QVERIFY(setConfigText(Cfg::Servers::TranslateAddress,
                              u"127.0.0.1:"_s + QString::number(FakeHttpServer::closedPort())));
    else if (scenario == u"stall")
        m_server->on(u"/"_s).reply(answerPage(u"Hello"_s).chopped(7));
    else if (scenario == u"close")
        m_server->on(u"/"_s).reply(answerPage(u"Hello"_s).chopped(7)).closeEarly();
    else if (scenario == u"error page")
        m_server->on(u"/"_s).reply(answerPage(u"Hello"_s).replace("200 OK", "503 Service Unavailable"));
    else if (scenario == u"nomarkers")
        m_server->on(u"/"_s).respond(200, "<html><body><div>Hello</div></body></html>");
    else
        m_server->on(u"/"_s).reply(answerPage(u"<span> </span><br>&nbsp;"_s));

    ArticleTranslator translator;
    Endings endings(translator);
    translator.translateArticle(u"<p>文章</p>"_s, TranslationDirection::ZhToEn);
    QVERIFY(endings.wait());
    const TranslationOutcome &outcome = endings.last();
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.text, QString());
    QVERIFY(!outcome.replacesArticle());
    QCOMPARE(TranslationPanel::captionAfter(RewriteText::kZhToEnCaption, outcome), RewriteText::kZhToEnCaption);
    QVERIFY(!translator.isRunning());
    QTest::qWait(0);
    QCOMPARE(endings.outcomes.size(), 1);
}

void TestTranslation::emptyArticle_sendsNothingAndTurnsTheCaption()
{
    ArticleTranslator translator;
    Endings endings(translator);
    translator.translateArticle(QString(), TranslationDirection::ZhToEn);
    // Never from inside the call: a caller sets its state up after starting.
    QCOMPARE(endings.outcomes.size(), 0);
    QVERIFY(translator.isRunning());
    QVERIFY(endings.wait());
    QCOMPARE(endings.last().status, TranslationOutcome::Status::EmptyArticle);
    QVERIFY(endings.last().replacesArticle());
    QCOMPARE(endings.last().text, QString());
    QCOMPARE(TranslationPanel::captionAfter(RewriteText::kZhToEnCaption, endings.last()), RewriteText::kEnToZhCaption);
    QCOMPARE(m_server->connectionCount(), 0);
    QVERIFY(!translator.isRunning());
}

void TestTranslation::twoTranslations_bringTheCaptionBack()
{
    m_server->on(u"/"_s).reply(answerPage(u"&lt;p&gt;Good weather&lt;/p&gt;"_s));
    ArticleTranslator translator;
    Endings endings(translator);
    QString caption = RewriteText::kZhToEnCaption;
    QString article = u"<p>天气好</p>"_s;
    for (int click = 1; click <= 2; ++click) {
        translator.translateArticle(article, TranslationPanel::directionOfCaption(caption));
        QVERIFY(endings.wait(click));
        caption = TranslationPanel::captionAfter(caption, endings.last());
        article = endings.last().text;
        QCOMPARE(caption, click == 1 ? RewriteText::kEnToZhCaption : RewriteText::kZhToEnCaption);
    }
    QCOMPARE(article, u"<p>Good weather</p>"_s);
    QCOMPARE(m_server->requests().size(), 2);
    QVERIFY(m_server->requests().at(0).body.contains("&sl=zh-CN&tl=en&"));
    QVERIFY(m_server->requests().at(1).body.contains("&sl=en&tl=zh-CN&"));
    QCOMPARE(m_server->connectionCount(), 2);
}

void TestTranslation::newTranslation_dropsTheRunningOneSilently()
{
    m_server->on(u"/"_s).reply(answerPage(u"Hello"_s));
    ArticleTranslator translator;
    Endings endings(translator);
    // An empty article's outcome is still queued when the next one starts,
    // then a translation is under way when an empty article comes.
    translator.translateArticle(QString(), TranslationDirection::ZhToEn);
    translator.translateArticle(u"<p>文章</p>"_s, TranslationDirection::ZhToEn);
    QVERIFY(endings.wait());
    translator.translateArticle(u"<p>文章</p>"_s, TranslationDirection::ZhToEn);
    translator.translateArticle(QString(), TranslationDirection::ZhToEn);
    QVERIFY(endings.wait(2));
    translator.translateArticle(QString(), TranslationDirection::ZhToEn);
    translator.abort();
    QVERIFY(!translator.isRunning());
    QTest::qWait(0);
    QCOMPARE(endings.outcomes.size(), 2);
    QCOMPARE(endings.outcomes.at(0).status, TranslationOutcome::Status::Translated);
    QCOMPARE(endings.outcomes.at(1).status, TranslationOutcome::Status::EmptyArticle);
}

void TestTranslation::warning_untilCancelled()
{
    QVERIFY(TranslationPanel::warningWanted());
    QVERIFY(TranslationPanel::suppressWarning());
    QVERIFY(!TranslationPanel::warningWanted());
    QCOMPARE(configText(Cfg::YC::ShowHelp), u"1"_s);
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
