#include "cli/article_page.h"

#include "editor/editor_host.h"
#include "editor/windowless_editor.h"
#include "settings/app_folder.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorvane {

ArticlePage::ArticlePage() = default;
ArticlePage::~ArticlePage() = default;

bool ArticlePage::open(QString *failure)
{
    const QString lib = AppFolder::current().path(u"\\lib");
    if (!QFileInfo::exists(lib + u"/index.html"_s)) {
        *failure = u"no editor page at %1/index.html"_s.arg(lib);
        return false;
    }
    m_editor = std::make_unique<WindowlessEditor>();
    if (!m_editor->open(lib)) {
        *failure = u"the editor page did not start"_s;
        return false;
    }
    return true;
}

std::optional<QString> ArticlePage::articleOf(const QString &html, QString *failure)
{
    std::optional<QString> article = keepArticle(m_editor->host(), html);
    if (!article)
        *failure = u"the editor page did not answer"_s;
    return article;
}

} // namespace zorvane
