#include "editor/editor_scheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {
const QByteArray SchemeName = QByteArrayLiteral("zorvane");
const QString Host = u"editor"_s;
} // namespace

void registerEditorScheme()
{
    if (QWebEngineUrlScheme::schemeByName(SchemeName).name() == SchemeName)
        return;
    QWebEngineUrlScheme scheme(SchemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void installEditorScheme(QWebEngineProfile *profile, const QString &root)
{
    if (auto *installed = profile->findChild<EditorSchemeHandler *>(QString(), Qt::FindDirectChildrenOnly)) {
        installed->setRoot(root);
        return;
    }
    profile->installUrlSchemeHandler(SchemeName, new EditorSchemeHandler(root, profile));
}

QUrl editorPageUrl(const QString &file)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(SchemeName));
    url.setHost(Host);
    url.setPath(u'/' + file);
    return url;
}

QUrl editorPageUrl()
{
    return editorPageUrl(u"index.html"_s);
}

EditorSchemeHandler::EditorSchemeHandler(QString root, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_root(std::move(root))
{}

EditorFile editorSchemeFile(const QString &root, const QUrl &url)
{
    if (url.host() != Host)
        return {EditorFile::Denied, {}};
    // Only files below the root: the path is cleaned before it is joined, so
    // "/../" cannot climb out.
    const QString relative = QDir::cleanPath(u'/' + url.path()).mid(1);
    // A NUL ends a file name early in the system's calls: such a name means
    // something else than it says.
    if (relative.isEmpty() || relative.startsWith(u"..") || relative.contains(QChar(u'\0')))
        return {EditorFile::Denied, {}};
    const QString path = QDir(root).filePath(relative);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty() || !canonical.startsWith(canonicalRoot + u'/')
        || !QFileInfo(canonical).isFile())
        return {EditorFile::NotFound, {}};
    return {EditorFile::Found, canonical};
}

void EditorSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const EditorFile target = job->requestMethod() == "GET" ? editorSchemeFile(m_root, job->requestUrl())
                                                            : EditorFile{EditorFile::Denied, {}};
    if (target.kind != EditorFile::Found) {
        job->fail(target.kind == EditorFile::Denied ? QWebEngineUrlRequestJob::RequestDenied
                                                    : QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QString canonical = target.path;
    QFile file(canonical);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(file.readAll());
    buffer->open(QIODevice::ReadOnly);
    const QByteArray mime = QMimeDatabase().mimeTypeForFile(canonical, QMimeDatabase::MatchExtension).name().toUtf8();
    job->reply(mime, buffer);
}

} // namespace zorvane
