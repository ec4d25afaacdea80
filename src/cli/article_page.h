#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace zorvane {

class WindowlessEditor;

// The editor page of the application folder in a page without a window,
// keeping only the article of whole web pages exactly as the main window's
// editor keeps it: what extract and format --article run. Opened once for
// all of a command's articles; it lives on the main thread.
class ArticlePage
{
public:
    ArticlePage();
    ~ArticlePage();

    // False, with the reason in failure, when the folder has no editor page
    // or the page does not start.
    bool open(QString *failure);
    // The article of html; nullopt, with the reason in failure, when the page
    // does not answer.
    std::optional<QString> articleOf(const QString &html, QString *failure);

private:
    std::unique_ptr<WindowlessEditor> m_editor;
};

} // namespace zorvane
