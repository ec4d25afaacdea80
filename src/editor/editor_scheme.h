#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

namespace zorvane {

// The editor page is served from its own address (zorvane://editor/…) out
// of the application folder's "\lib\" and nothing else, so that the page
// needs no access to local files at all.

// Declares the address scheme; call once before the QApplication is made.
void registerEditorScheme();
// Serves the scheme from folder root in profile (once per profile).
void installEditorScheme(QWebEngineProfile *profile, const QString &root);
// The address of file (a path relative to root, such as "index.html").
QUrl editorPageUrl(const QString &file);
// The address of the editor page itself ("index.html").
QUrl editorPageUrl();

// What an address of the scheme names below root: the file's canonical path
// when it is a file inside root (links followed, but only to files inside),
// nothing for anything that would lead out, is not there or is no file.
struct EditorFile
{
    enum Kind { Found, Denied, NotFound };
    Kind kind = NotFound;
    QString path;
};
EditorFile editorSchemeFile(const QString &root, const QUrl &url);

class EditorSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    explicit EditorSchemeHandler(QString root, QObject *parent = nullptr);
    void setRoot(const QString &root) { m_root = root; }

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QString m_root;
};

} // namespace zorvane
