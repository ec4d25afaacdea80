#pragma once

// The main window reduced to what a command group uses: every area of the
// context on a panel of its own, the article in memory, the word libraries of
// the application folder current when they load, and the window's message
// boxes, questions and file dialogs recorded instead of shown.
#include "editor/editor_session.h"
#include "shell/command_context.h"
#include "snapshot/word_libraries.h"
#include "testsupport/in_memory_editor_host.h"
#include "testsupport/recording_view.h"

#include <QBoxLayout>
#include <QWidget>

namespace zorvane {

struct CommandWindow
{
    QWidget window;
    InMemoryEditorHost host;
    RecordingView view;
    EditorSession session{host, view};
    WordLibraries libraries;
    CommandContext context{session, &window, libraries};
    QWidget *frm1 = nullptr;
    QWidget *frm2 = nullptr;
    QWidget *frm3 = nullptr;

    CommandWindow()
    {
        using namespace Qt::StringLiterals;
        using Area = CommandContext::Area;
        auto *layout = new QVBoxLayout(&window);
        for (const Area area : {Area::User, Area::Links, Area::FormatPanel, Area::YcPanel, Area::SeoPanel,
                                Area::EditorBar, Area::Notices}) {
            auto *panel = new QWidget(&window);
            layout->addWidget(panel);
            context.setArea(area, new QVBoxLayout(panel));
        }
        frm1 = context.areaWidget(Area::FormatPanel);
        frm2 = context.areaWidget(Area::YcPanel);
        frm3 = context.areaWidget(Area::SeoPanel);
        frm1->setObjectName(u"frm1"_s);
        frm2->setObjectName(u"frm2"_s);
        frm3->setObjectName(u"frm3"_s);
    }
};

} // namespace zorvane
