// zorvane-handoff: run by the desktop entry "使用Zorvane进行伪原创". Takes what
// the user selected (the X primary selection, else the clipboard) into the
// hand-off file and starts Zorvane from the same folder; a Zorvane already
// running is woken by that start and picks the text up.
#include "editor/editor_session.h"
#include "settings/app_folder.h"
#include "shell/hand_off.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>

using namespace zorvane;

namespace {

// The offer as HTML for the editor: a browser's HTML when it gives one,
// else the plain text with its line breaks kept.
QString offeredHtml(const QMimeData *offer)
{
    if (!offer)
        return {};
    if (offer->hasHtml()) {
        const QString html = htmlFromClipboard(offer->html());
        if (!html.trimmed().isEmpty())
            return html;
    }
    const QString text = offer->text();
    return text.trimmed().isEmpty() ? QString() : plainTextToHtml(text);
}

QString selectedHtml()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        const QString html = offeredHtml(clipboard->mimeData(QClipboard::Selection));
        if (!html.isEmpty())
            return html;
    }
    return offeredHtml(clipboard->mimeData(QClipboard::Clipboard));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const AppFolder folder = AppFolder::current();
    // With nothing selected the file keeps what it holds and Zorvane only
    // comes forward.
    const QString html = selectedHtml();
    if (!html.isEmpty() && !leaveHandOffText(folder, html)) {
        std::fprintf(stderr, "zorvane-handoff: cannot write the hand-off file in %s\n", qPrintable(folder.root()));
        return 1;
    }
    if (!startProgram(folder, Program::Zorvane)) {
        std::fprintf(stderr, "zorvane-handoff: cannot start %s\n", qPrintable(programPath(folder, Program::Zorvane)));
        return 1;
    }
    return 0;
}
