// FormatHtml over arbitrary HTML, with the options chosen by the input's
// first bytes: [0] mode, [1] and [2] on/off flags, [3] SpaceNum, [4]
// KeywordStrong and LinkType, [5] keyword length n, then n keyword bytes,
// then the HTML.
#include "format/format_html.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

const TypoIndex &typoLibrary()
{
    static const TypoIndex library(u"ab|cd\r\n的的|的\r\np>|q>\r\n"_s);
    return library;
}

FormatOptions formatOptions(const uint8_t *data, const QString &keyword)
{
    const auto flag = [&](int bit) { return ((data[1 + bit / 8] >> (bit % 8)) & 1) != 0; };
    FormatOptions o;
    o.removeLink = flag(0);
    o.saveWords = flag(1);
    o.full = flag(2);
    o.extBr = flag(3);
    o.autoSign = flag(4);
    o.signAtStart = flag(5);
    o.signAtEnd = flag(6);
    o.extSpace = flag(7);
    o.headSpace = flag(8);
    o.fullSpace = flag(9);
    o.point = flag(10);
    o.checkWords = flag(11);
    o.spaceNum = int(int8_t(data[3]));
    o.sign = keyword;
    o.keyword.insert = flag(13);
    o.keyword.density = data[4] % 25;
    o.keyword.word = keyword;
    o.keyword.linkUrl = flag(14) ? u"e.com"_s : QString();
    o.keyword.linkType = data[4] / 25 % 3;
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const size_t keywordLength = data[5] % 4;
    if (size < 6 + keywordLength)
        return 0;
    const QString keyword =
        QString::fromUtf8(reinterpret_cast<const char *>(data) + 6, qsizetype(keywordLength)).trimmed();
    const FormatOptions options = formatOptions(data, keyword);
    CheckOptions checks;
    checks.typoMark = ((data[2] >> 4) & 1) ? TypoMark::Mark : TypoMark::Replace;
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data) + 6 + keywordLength,
                                           qsizetype(size - 6 - keywordLength));
    const QString result = FormatHtml(html, FormatMode(data[0] % 3), options, checks, typoLibrary());
    // The pipeline never grows an article beyond its text plus what it adds
    // around each line and image; a runaway would show up here first.
    if (result.size() > 64 * (html.size() + 64))
        __builtin_trap();
    return 0;
}
