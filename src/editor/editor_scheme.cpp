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

void EditorSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (job->requestMethod() != "GET" || url.host() != Host) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // Only files below the root: the path is cleaned before it is joined, so
    // "/../" cannot climb out.
    const QString relative = QDir::cleanPath(u'/' + url.path()).mid(1);
    if (relative.isEmpty() || relative.startsWith(u"..")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = QDir(m_root).filePath(relative);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(m_root).canonicalFilePath();
    if (canonical.isEmpty() || canonicalRoot.isEmpty() || !canonical.startsWith(canonicalRoot + u'/')) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
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
