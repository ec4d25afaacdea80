// The editor page's own addresses, zorvane://editor/..., as a page, a pasted
// article or a link may write them: whatever the path, only a file inside
// the page's folder is ever served.
#include "editor/editor_scheme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// lib/ with the page, a folder, a link inside and a link out, and a secret
// beside lib/.
struct Folder
{
    QTemporaryDir dir;
    QString root;
    QString canonicalRoot;
    Folder()
    {
        root = dir.filePath(u"lib"_s);
        QDir().mkpath(root + u"/js"_s);
        for (const QString &file : {u"lib/index.html"_s, u"lib/js/app.js"_s, u"secret.txt"_s}) {
            QFile f(dir.filePath(file));
            f.open(QIODevice::WriteOnly);
            f.write("x");
        }
        QFile::link(dir.filePath(u"secret.txt"_s), root + u"/out.txt"_s);
        QFile::link(root + u"/index.html"_s, root + u"/in.html"_s);
        canonicalRoot = QFileInfo(root).canonicalFilePath();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Folder folder;
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QUrl &url : {QUrl(u"zorvane://editor/"_s + input), editorPageUrl(input), QUrl(input)}) {
        const EditorFile file = editorSchemeFile(folder.root, url);
        if (file.kind != EditorFile::Found)
            continue;
        const QFileInfo info(file.path);
        if (!file.path.startsWith(folder.canonicalRoot + u'/') || !info.exists()
            || info.canonicalFilePath() != file.path)
            __builtin_trap();
    }
    return 0;
}
