// A picture of the statistics panel after a title search and a site query,
// both answered by local servers, for the README:
//   zorvane-seo-screenshot OUT.png
// Renders offscreen; needs a CJK font installed.
#include "editor/editor_session.h"
#include "result_pages.h"
#include "seo_fakes.h"
#include "settings/config_keys.h"
#include "shell/command_context.h"
#include "shell/seo_commands.h"
#include "snapshot/word_libraries.h"
#include "testsupport/in_memory_editor_host.h"
#include "testsupport/recording_view.h"
#include "testsupport/temp_app_folder.h"
#include "text/gbk.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorvane;
using namespace std::chrono_literals;

namespace {

QString titlePage()
{
    struct Hit
    {
        QString title, source, time;
    };
    const QList<Hit> hits = {
        {u"城市更新行动今年将在百个街区展开"_s, u"晨报网"_s, u"03-05 10:21"_s},
        {u"城市更新行动今年将在百个街区展开"_s, u"江南日报"_s, u"03-05 09:47"_s},
        {u"百个街区城市更新行动启动"_s, u"新闻在线"_s, u"03-05 08:30"_s},
        {u"城市更新：百个街区今年开工"_s, QString(), u"03-04 22:15"_s},
        {u"今年城市更新行动覆盖百个街区"_s, u"财经时报"_s, u"03-04 19:02"_s},
        {u"城市更新行动将在百个街区展开"_s, u"都市快讯"_s, u"03-04 17:40"_s},
        {u"百个街区纳入城市更新计划"_s, u"北方新闻网"_s, u"03-04 16:05"_s},
    };
    QStringList spans;
    int number = 0;
    for (const Hit &hit : hits)
        spans.append(
            ResultPages::exactHit(u"http://news.example.com/2024/0305/"_s + QString::number(++number) + u".html"_s,
                                  hit.title, hit.source, hit.time));
    return ResultPages::exactPage(u"约1,260"_s, spans);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: zorvane-seo-screenshot OUT.png\n", stderr);
        return 2;
    }
    TempAppFolder folder;
    SeoFakes::SeoServers servers;
    FakeHttpServer news;
    const QString site = u"www.example.com"_s;
    if (!folder.isValid() || !servers.serveAll() || !news.serve(Cfg::Servers::News)
        || !setConfigText(Cfg::Servers::Site, site)) {
        std::fputs("cannot set up the application folder and the servers\n", stderr);
        return 1;
    }
    SeoFakes::Figures figures;
    figures.baidu = u"12,800"_s;
    figures.google = u"23,400"_s;
    figures.yahoo = u"9,870"_s;
    figures.bing = u"6,120"_s;
    figures.soso = u"4,350"_s;
    figures.sogou = u"15,600"_s;
    figures.youdao = u"1.2万"_s;
    figures.alexa = u"18,532"_s;
    figures.linksIn = u"1,046"_s;
    figures.pr = u"5"_s;
    figures.friendLinks = u"36"_s;
    servers.answer(site, figures);
    news.otherwise().respond(200, toGbk(titlePage()));

    // The panel on a window of its own over an editor in memory.
    QWidget window;
    InMemoryEditorHost host;
    RecordingView view;
    EditorSession session(host, view);
    WordLibraries libraries;
    CommandContext context(session, &window, libraries);
    auto *layout = new QVBoxLayout(&window);
    auto *frm3 = new QWidget(&window);
    frm3->setObjectName(u"frm3"_s);
    layout->addWidget(frm3);
    context.setArea(CommandContext::Area::SeoPanel, new QVBoxLayout(frm3));
    auto *seo = new SeoCommands(context);
    window.resize(380, 700);
    window.show();

    seo->txtTitle->setText(u"城市更新行动今年将在百个街区展开"_s);
    seo->cmdChkTitle->click();
    Q_EMIT context.modeChanged(ModeName::Seo);

    int status = 1;
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&] {
        bool querying = seo->lblTitleStatus->text() != u"查询完毕"_s;
        for (const SeoFigure figure : allSeoFigures())
            querying = querying || seo->figureLabel(figure)->text() == SeoText::querying();
        if (querying)
            return;
        status = frm3->grab().save(args[1]) ? 0 : 1;
        app.exit(status);
    });
    poll->start(50);
    QTimer::singleShot(30s, &app, [&] { app.exit(1); });
    app.exec();
    return status;
}
