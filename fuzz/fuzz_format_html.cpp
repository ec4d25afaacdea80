// FormatHtml over arbitrary HTML, with the settings chosen by the input's
// first bytes: [0] mode, [1] and [2] on/off flags, [3] SpaceNum, [4]
// KeywordStrong, [5] keyword length n, then n keyword bytes, then the HTML.
#include "format/format_html.h"
#include "settings/app_folder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

QTemporaryDir &appDir()
{
    static QTemporaryDir dir;
    static const bool ready = [] {
        QDir(dir.path()).mkpath(u"setting"_s);
        QDir(dir.path()).mkpath(u"data"_s);
        QFile library(dir.filePath(u"data/error.dat"_s));
        if (library.open(QIODevice::WriteOnly))
            library.write("ab|cd\r\n\xB5\xC4\xB5\xC4|\xB5\xC4\r\np>|q>\r\n");
        AppFolder::setCurrent(AppFolder(dir.path()));
        return true;
    }();
    (void)ready;
    return dir;
}

void writeSettings(const uint8_t *data, const QByteArray &keyword)
{
    const auto flag = [&](int bit) { return (data[1 + bit / 8] >> (bit % 8)) & 1 ? "1" : "0"; };
    QByteArray ini = "[Format]\r\n";
    const char *flags[] = {"RemoveLink", "SaveWords", "Full",     "ExtBr", "AutoSign",   "Start",         "End",
                           "ExtSpace",   "HeadSpace", "SpaceStr", "Point", "CheckWords", "CheckWordsType"};
    for (int i = 0; i < int(std::size(flags)); ++i)
        ini += QByteArray(flags[i]) + '=' + flag(i) + "\r\n";
    ini += "SpaceNum=" + QByteArray::number(int(int8_t(data[3]))) + "\r\n";
    ini += "Sign=" + keyword + "\r\n";
    ini += "[YC]\r\nKeyword=" + QByteArray(flag(13)) + "\r\nKeywordStrong=" + QByteArray::number(data[4] % 25)
           + "\r\nKeywordStr=" + keyword + "\r\nLinkUrl=" + (flag(14)[0] == '1' ? "e.com" : "")
           + "\r\nLinkType=" + QByteArray::number(data[4] / 25 % 3) + "\r\n";
    QFile file(appDir().filePath(u"setting/config.ini"_s));
    if (file.open(QIODevice::WriteOnly))
        file.write(ini);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const size_t keywordLength = data[5] % 4;
    if (size < 6 + keywordLength)
        return 0;
    QByteArray keyword(reinterpret_cast<const char *>(data) + 6, qsizetype(keywordLength));
    keyword.replace('\r', ' ').replace('\n', ' ');
    writeSettings(data, keyword);
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data) + 6 + keywordLength,
                                           qsizetype(size - 6 - keywordLength));
    const QString result = FormatHtml(html, FormatMode(data[0] % 3));
    // The pipeline never grows an article beyond its text plus what it adds
    // around each line and image; a runaway would show up here first.
    if (result.size() > 64 * (html.size() + 64))
        __builtin_trap();
    return 0;
}
